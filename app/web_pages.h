// The maker's web pages that the Help menu and the About box open, and the server the
// update check asks.
#pragma once

namespace mv {

inline constexpr char kMakerWebRoot[] = "https://www.mirrorvault.example/";
inline constexpr char kSupportPage[] = "https://www.mirrorvault.example/support.php";
inline constexpr char kSupportEmail[] = "support@mirrorvault.example";
// The one address the update check asks; nothing at run time changes it.
inline constexpr char kUpdateServer[] = "http://www.mirrorvault.example";

}  // namespace mv
