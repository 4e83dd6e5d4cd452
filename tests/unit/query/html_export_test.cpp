// The web page export's data, checked without a browser: whatever the names hold, the page
// keeps exactly its own two scripts and its data no character that could end one.
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
      test::HeaderText("<b>PC</b>") +
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

  const std::string open = "<script type=\"application/json\" id=\"data\">";
  const std::size_t from = page.find(open) + open.size();
  const std::size_t to = page.find("</script>", from);
  ASSERT_NE(to, std::string::npos);
  const std::string data = page.substr(from, to - from);
  for (const std::string forbidden : {"<", ">", "&", "\xE2\x80\xA8", "\xE2\x80\xA9", "\xFF"}) {
    EXPECT_EQ(data.find(forbidden), std::string::npos) << forbidden;
  }
  EXPECT_NE(data.find("\\u003c/script\\u003e\\u003cscript\\u003ealert(1)"), std::string::npos);
  EXPECT_NE(data.find("a\\\"b'c\\u0026d\\u2028"), std::string::npos);
  EXPECT_NE(data.find("bad \xEF\xBF\xBD\\u2029 name"), std::string::npos);  // not UTF-8: U+FFFD

  std::size_t scripts = 0;
  for (std::size_t at = 0; (at = page.find("<script", at)) != std::string::npos; ++at) ++scripts;
  EXPECT_EQ(scripts, 2u);
  EXPECT_NE(page.find("<title>\\\\&lt;b&gt;PC&lt;/b&gt; "), std::string::npos);
}

}  // namespace
}  // namespace mv
