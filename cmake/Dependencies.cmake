# Third-party libraries, all from the distribution's packages (scripts/setup.sh installs them).

find_package(ZLIB REQUIRED)

# GoogleTest is built from Debian's source package for whichever target this build is for.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

include(ExternalProject)

if(ORBEX_WINDOWS)
  # libjpeg (version 62 API): libjpeg-turbo's Debian source, fetched by the set-up script into
  # .deps/, cross-built here into the build tree as a static library.
  set(ORBEX_JPEG_SRC ${PROJECT_SOURCE_DIR}/.deps/libjpeg-turbo)
  if(NOT EXISTS ${ORBEX_JPEG_SRC}/CMakeLists.txt)
    message(FATAL_ERROR "libjpeg-turbo source missing: run scripts/setup.sh first")
  endif()
  set(ORBEX_JPEG_PREFIX ${CMAKE_BINARY_DIR}/libjpeg)
  ExternalProject_Add(libjpeg_turbo
    SOURCE_DIR ${ORBEX_JPEG_SRC}
    BINARY_DIR ${CMAKE_BINARY_DIR}/libjpeg-build
    INSTALL_DIR ${ORBEX_JPEG_PREFIX}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE} -DCMAKE_BUILD_TYPE=Release
               -DCMAKE_INSTALL_PREFIX=<INSTALL_DIR> -DENABLE_SHARED=OFF -DENABLE_STATIC=ON
               -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF -DWITH_JPEG8=OFF
               # absolute: libjpeg-turbo resolves a relative lib dir against its build tree
               -DCMAKE_INSTALL_LIBDIR=<INSTALL_DIR>/lib
    BUILD_BYPRODUCTS ${ORBEX_JPEG_PREFIX}/lib/libjpeg.a
    UPDATE_COMMAND "" PATCH_COMMAND "")
  file(MAKE_DIRECTORY ${ORBEX_JPEG_PREFIX}/include)
  add_library(orbex_jpeg STATIC IMPORTED GLOBAL)
  set_target_properties(orbex_jpeg PROPERTIES
    IMPORTED_LOCATION ${ORBEX_JPEG_PREFIX}/lib/libjpeg.a
    INTERFACE_INCLUDE_DIRECTORIES ${ORBEX_JPEG_PREFIX}/include)
  add_dependencies(orbex_jpeg libjpeg_turbo)

  # Host tools (instrument emulator, skin packer) run on Linux during the build and the tests:
  # build them with the host compiler beside the cross build.
  set(ORBEX_HOST_TOOLS ${CMAKE_BINARY_DIR}/host-tools/bin)
  ExternalProject_Add(host_tools
    SOURCE_DIR ${PROJECT_SOURCE_DIR}/tools
    BINARY_DIR ${CMAKE_BINARY_DIR}/host-tools
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DORBEX_TOOLS_OUT=${ORBEX_HOST_TOOLS}
               -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++
    BUILD_ALWAYS ON
    INSTALL_COMMAND "")
  # The skin packer as build steps call it, and what such a step depends on.
  set(ORBEX_SKINPACK ${ORBEX_HOST_TOOLS}/skinpack)
  set(ORBEX_SKINPACK_DEPS host_tools ${PROJECT_SOURCE_DIR}/tools/skinpack/skinpack.cpp)
else()
  set(ORBEX_SKINPACK $<TARGET_FILE:skinpack>)
  set(ORBEX_SKINPACK_DEPS skinpack)
  find_package(JPEG REQUIRED)
  add_library(orbex_jpeg INTERFACE)
  target_link_libraries(orbex_jpeg INTERFACE JPEG::JPEG)
  if(ORBEX_BENCH)
    find_package(benchmark REQUIRED)
  endif()
  find_package(PNG)   # test oracle only
  find_package(Threads REQUIRED)
endif()
