#pragma once

// The product's addresses on the web, shown in the about box and the tips and opened by the web commands.
namespace Product {

// The web site's base address; page names are appended to it directly.
inline constexpr char ProductSiteBase[] = "https://quillmark.orbrook.example/";
inline constexpr char SupportEMail[] = "support@orbrook.example";

} // namespace Product
