// Ini files: TMemIniFile keeps the whole file in memory (sections and keys case-sensitive, as
// the skin options text needs); TIniFile reads and writes a file on disk at once, case-
// insensitively, as the application's settings file expects. Window-free.
#pragma once

#include <cstdint>
#include <string>

#include "framework/base/Classes.h"

class TCustomIniFile : public TObject {
  ORBEX_CLASS(TCustomIniFile, TObject)
public:
  explicit TCustomIniFile(std::string fileName) : FFileName(std::move(fileName)) {}
  const std::string& FileName() const { return FFileName; }

  virtual std::string ReadString(const std::string& section, const std::string& ident,
                                 const std::string& def) = 0;
  virtual void WriteString(const std::string& section, const std::string& ident,
                           const std::string& value) = 0;
  // Integer read: decimal or "$"/"0x" hexadecimal; anything else gives the default.
  std::int32_t ReadInteger(const std::string& section, const std::string& ident, std::int32_t def);
  void WriteInteger(const std::string& section, const std::string& ident, std::int32_t value);
  // "0" is false; any other integer is true; a non-integer gives the default.
  bool ReadBool(const std::string& section, const std::string& ident, bool def);
  void WriteBool(const std::string& section, const std::string& ident, bool value);
  double ReadFloat(const std::string& section, const std::string& ident, double def);
  virtual void ReadSection(const std::string& section, TStrings& keys) = 0;
  virtual void ReadSections(TStrings& sections) = 0;
  // "key=value" lines of one section.
  virtual void ReadSectionValues(const std::string& section, TStrings& lines) = 0;
  virtual bool SectionExists(const std::string& section);
  virtual bool ValueExists(const std::string& section, const std::string& ident);
  virtual void EraseSection(const std::string& section) = 0;
  virtual void DeleteKey(const std::string& section, const std::string& ident) = 0;
  virtual void UpdateFile() = 0;

private:
  std::string FFileName;
};

class TMemIniFile : public TCustomIniFile {
  ORBEX_CLASS(TMemIniFile, TCustomIniFile)
public:
  // Loads the file when it exists (an empty name: starts empty).
  explicit TMemIniFile(const std::string& fileName = std::string());
  ~TMemIniFile() override;
  // Replaces the contents by the parsed lines: "[Section]" headers, "key=value" lines (value
  // as written after the first '='; key trimmed), comment lines starting with ';' skipped.
  // Lines are trimmed first; lines before the first section are not read either. Comments and blank
  // lines are kept (not read) and written back by GetStrings/UpdateFile, so that rewriting a
  // file keeps what a person wrote into it.
  void SetStrings(const TStrings& lines);
  void GetStrings(TStrings& lines) const;
  void Clear();
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool on);

  std::string ReadString(const std::string& section, const std::string& ident,
                         const std::string& def) override;
  void WriteString(const std::string& section, const std::string& ident,
                   const std::string& value) override;
  void ReadSection(const std::string& section, TStrings& keys) override;
  void ReadSections(TStrings& sections) override;
  void ReadSectionValues(const std::string& section, TStrings& lines) override;
  void EraseSection(const std::string& section) override;
  void DeleteKey(const std::string& section, const std::string& ident) override;
  bool SectionExists(const std::string& section) override;
  bool ValueExists(const std::string& section, const std::string& ident) override;
  // Writes the contents back to FileName (when it has one); lines end in CR LF.
  void UpdateFile() override;

private:
  struct Data;
  std::unique_ptr<Data> FData;
  bool FCaseSensitive = true;
};

class TIniFile : public TCustomIniFile {
  ORBEX_CLASS(TIniFile, TCustomIniFile)
public:
  explicit TIniFile(const std::string& fileName);
  ~TIniFile() override;
  std::string ReadString(const std::string& section, const std::string& ident,
                         const std::string& def) override;
  // Writes through to the file at once; raises EFCreateError when it cannot be written.
  void WriteString(const std::string& section, const std::string& ident,
                   const std::string& value) override;
  void ReadSection(const std::string& section, TStrings& keys) override;
  void ReadSections(TStrings& sections) override;
  void ReadSectionValues(const std::string& section, TStrings& lines) override;
  void EraseSection(const std::string& section) override;
  void DeleteKey(const std::string& section, const std::string& ident) override;
  bool SectionExists(const std::string& section) override;
  bool ValueExists(const std::string& section, const std::string& ident) override;
  void UpdateFile() override;

private:
  // Every read sees the file as it is now (another instance may have written it); every
  // change is written back at once.
  TMemIniFile& Reload();
  void Save();
  std::unique_ptr<TMemIniFile> FCache;   // the file's contents, case-insensitive
};
