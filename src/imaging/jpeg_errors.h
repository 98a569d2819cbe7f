// libjpeg's error manager with the error exit replaced by a jump back to the caller.
#ifndef ALBUMORA_IMAGING_JPEG_ERRORS_H_
#define ALBUMORA_IMAGING_JPEG_ERRORS_H_

#include <csetjmp>

#include "imaging/jpeg_library.h"

namespace albumora {

// The jump target is set by a function that holds only plain C locals (a longjmp skips every
// frame above it); the owners of buffers and of the libjpeg object live outside it.
struct JpegErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  long warnings;                  // counted, never printed: a damaged file may raise 100,000s
  bool too_many_scans;            // set by the progress limit instead of a libjpeg message
  char message[JMSG_LENGTH_MAX];  // libjpeg's own words for the error that ended the work
};

// Points `cinfo->err` at `manager`, with the jump-back exit and silent, counted warnings.
void InstallJpegErrorManager(jpeg_common_struct* cinfo, JpegErrorManager* manager);

}  // namespace albumora

#endif  // ALBUMORA_IMAGING_JPEG_ERRORS_H_
