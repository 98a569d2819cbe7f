// The photos of the bundled example album: calm synthetic holiday pictures made of gradients and
// simple shapes, so that the example needs no photo from anywhere else.
#ifndef ALBUMORA_RESOURCES_TOOLS_EXAMPLE_PHOTOS_H_
#define ALBUMORA_RESOURCES_TOOLS_EXAMPLE_PHOTOS_H_

#include <string>

namespace albumora {

// Writes the example photos into `folder` (ending with '/'). False when one cannot be written.
bool WriteExamplePhotos(const std::string& folder);

}  // namespace albumora

#endif  // ALBUMORA_RESOURCES_TOOLS_EXAMPLE_PHOTOS_H_
