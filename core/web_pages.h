// The maker's web pages that the Help menu opens (and the update check asks).
#pragma once

namespace mv {

inline constexpr char kMakerWebRoot[] = "https://www.mirrorvault.example/";
inline constexpr char kSupportPage[] = "https://www.mirrorvault.example/support.php";

}  // namespace mv
