// The web page export's template (query/html_page.html), embedded at build time: the page's
// markup, style and script, with the placeholders {{TITLE}}, {{DATA}} and {{PACKED}}.
#pragma once

#include <cstddef>

namespace mv {

extern const char kHtmlPageTemplate[];
extern const std::size_t kHtmlPageTemplateSize;

}  // namespace mv
