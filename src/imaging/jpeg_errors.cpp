#include "imaging/jpeg_errors.h"

namespace albumora {
namespace {

void JumpBack(j_common_ptr cinfo) {
  auto* manager = reinterpret_cast<JpegErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, manager->message);
  std::longjmp(manager->jump, 1);
}

void CountWarnings(j_common_ptr cinfo, int level) {
  if (level < 0) ++reinterpret_cast<JpegErrorManager*>(cinfo->err)->warnings;
}

}  // namespace

void InstallJpegErrorManager(jpeg_common_struct* cinfo, JpegErrorManager* manager) {
  cinfo->err = jpeg_std_error(&manager->pub);
  manager->pub.error_exit = JumpBack;
  manager->pub.emit_message = CountWarnings;
  manager->pub.trace_level = 0;
  manager->warnings = 0;
  manager->too_many_scans = false;
  manager->message[0] = '\0';
}

}  // namespace albumora
