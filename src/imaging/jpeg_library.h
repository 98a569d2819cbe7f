// libjpeg's headers, which need <cstdio> (FILE, size_t) before them.
#ifndef ALBUMORA_IMAGING_JPEG_LIBRARY_H_
#define ALBUMORA_IMAGING_JPEG_LIBRARY_H_

// clang-format off
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#endif  // ALBUMORA_IMAGING_JPEG_LIBRARY_H_
