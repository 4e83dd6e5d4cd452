// The web page export's data, checked without a browser: whatever the names hold, the page
// keeps exactly its own three scripts, its JSON no character that could end one, and its
// packed names and numbers nothing but base64.
#include <gtest/gtest.h>

#include <string>

#include "query/snapshot_export.h"
#include "query/snapshot_scan.h"
#include "snapshot_texts.h"

namespace mv {
namespace {

class StringSink final : public ByteSink {
 public:
  bool Write(std::string_view bytes) override {
    text.append(bytes);
    return true;
  }
  std::string text;
};

TEST(HtmlExport, NoNameEndsTheDataOrAddsMarkup) {
  const std::string snapshot =
      test::HeaderText("<b>PC</b></script>\"\xE2\x80\xA8&\xFF\xE2\x80\xA9") +
      test::SnapshotText({"SHARENAME: </script><script>alert(1)</script>",
                          "<!--<script>;;d;;0;;1.1.2020",
                          "a\"b'c&d\xE2\x80\xA8.txt;;f;;1;;1.1.2020",
                          "<!--<script>\\bad \xFF\xE2\x80\xA9 name.txt;;f;;2;;1.1.2020", "END"});
  SnapshotLayout layout;
  ASSERT_EQ(ScanSnapshot(snapshot, layout), LoadResult::kAccepted);
  CodePageDecoder decoder;
  ASSERT_TRUE(decoder.Open(kUtf8CodePage));
  StringSink sink;
  ASSERT_TRUE(ExportSnapshot(layout, ExportFormat::kHtml, decoder, sink));
  const std::string& page = sink.text;

  const auto element = [&](const std::string& open) {
    const std::size_t from = page.find(open) + open.size();
    const std::size_t to = page.find("</script>", from);
    return to == std::string::npos ? std::string() : page.substr(from, to - from);
  };
  const std::string data = element("<script type=\"application/json\" id=\"data\">");
  for (const std::string forbidden : {"<", ">", "&", "\xE2\x80\xA8", "\xE2\x80\xA9", "\xFF"}) {
    EXPECT_EQ(data.find(forbidden), std::string::npos) << forbidden;
  }
  // Not UTF-8: U+FFFD.
  EXPECT_NE(data.find("\\u003cb\\u003ePC\\u003c/b\\u003e\\u003c/script\\u003e\\\"\\u2028\\u0026"
                      "\xEF\xBF\xBD\\u2029"),
            std::string::npos);
  const std::string packed = element("<script type=\"text/plain\" id=\"packed\">");
  EXPECT_FALSE(packed.empty());
  EXPECT_EQ(
      packed.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
      std::string::npos);

  std::size_t scripts = 0;
  for (std::size_t at = 0; (at = page.find("<script", at)) != std::string::npos; ++at) ++scripts;
  EXPECT_EQ(scripts, 3u);
  EXPECT_NE(page.find("<title>\\\\&lt;b&gt;PC&lt;/b&gt;&lt;/script&gt;&quot;"), std::string::npos);
}

}  // namespace
}  // namespace mv
