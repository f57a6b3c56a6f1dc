// EOrbexError: the one exception class of the instrument link. Every failure of the link (port
// open, port set-up, the reader thread, receive-buffer overflow) is raised as this class, and
// it is the one the Connect action catches and shows. Window-free, so that the receive buffer
// and the packet parser can raise it natively too.
#pragma once

#include "framework/base/SysUtils.h"

ORBEX_EXCEPTION(EOrbexError, Exception);
