#pragma once

#include <string_view>

namespace orvia {

// Where the update manifest comes from, fixed when the program is linked: the shipped program
// takes them from the CMake cache variables ORVIA_UPDATE_MANIFEST_URL and ORVIA_UPDATE_CA_FILE, and
// the end-to-end tests link a copy of the program with a local server's.
extern const std::string_view updateManifestURL;
// A PEM file of the certificate authorities to trust; empty: the system's trust store.
extern const std::string_view updateCertificateAuthorityFile;

} // namespace orvia
