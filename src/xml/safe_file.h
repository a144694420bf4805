// Replacing a file's whole content without ever leaving it half-written: the new bytes go to a
// temporary file in the same folder, are flushed to disk and renamed over the target. A symbolic
// link is followed to its target, and the target keeps its permission bits.
#pragma once

#include <string>
#include <string_view>

namespace kelvo {

// Raises Exception ("Cannot create file "path". reason") when the content cannot be written; the
// old file is then untouched.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

// The whole content of a file; raises Exception when it cannot be read.
std::string ReadWholeFile(const std::string& path, size_t maxBytes);

}  // namespace kelvo
