// download.php, run by PHP's own web server: what it hands out and what it refuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "php_server.h"
#include "scratch.h"

namespace albumora {
namespace {

namespace fs = std::filesystem;

// Bytes of every value, NUL included, so that any change on the way shows.
std::string BinaryContent(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7919 + i / 251) & 0xFF);
  return bytes;
}

class DownloadScriptTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    scratch_ = new ScratchFolder;
    const fs::path root = fs::path(scratch_->path());
    const fs::path originals = root / "original";
    fs::create_directories(originals / "unterordner");
    fs::copy_file(SourceDir() / "resources" / "download.php", root / "download.php");
    WriteFileBytes(root / "geheim.txt", "nicht herausgeben");
    WriteFileBytes(originals / "foto.jpg", BinaryContent(300 * 1024));
    WriteFileBytes(originals / "GROSS.JPEG", "jpeg");
    WriteFileBytes(originals / "notiz.txt", "text");
    WriteFileBytes(originals / "Am See.jpg", "mit Leerzeichen");
    WriteFileBytes(originals / "dünen.jpg", "umlaut");
    WriteFileBytes(originals / ".versteckt.jpg", "versteckt");
    WriteFileBytes(originals / "zeilen\numbruch.jpg", "steuerzeichen");
    WriteFileBytes(originals / "a:b.jpg", "doppelpunkt");
    WriteFileBytes(originals / "a&b+c.jpg", "und plus");
    WriteFileBytes(originals / "1+1.jpg", "plus");
    WriteFileBytes(originals / "Bild #3.jpg", "raute");
    WriteFileBytes(originals / "100% Sonne.jpg", "prozent");
    WriteFileBytes(originals / "unterordner" / "innen.jpg", "innen");
    fs::create_symlink("../geheim.txt", originals / "verweis.jpg");
    server_ = new PhpServer;
    ASSERT_TRUE(server_->Start(root.string()))
        << server_->error() << " (php-cli is installed by scripts/install-deps)";
  }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
    delete scratch_;
    scratch_ = nullptr;
  }
  void SetUp() override {
    if (server_ == nullptr || !server_->error().empty()) GTEST_FAIL() << "no PHP server";
  }

  static HttpResponse Download(const std::string& query) {
    return server_->Get("/download.php" + query);
  }

  static ScratchFolder* scratch_;
  static PhpServer* server_;
};

ScratchFolder* DownloadScriptTest::scratch_ = nullptr;
PhpServer* DownloadScriptTest::server_ = nullptr;

TEST_F(DownloadScriptTest, HandsOutAnOriginalByteForByte) {
  HttpResponse response = Download("?file=foto.jpg");
  EXPECT_EQ(response.status, 200);
  EXPECT_EQ(response.headers["content-type"], "image/jpeg");
  EXPECT_EQ(response.headers["content-disposition"],
            "attachment; filename=\"foto.jpg\"; filename*=UTF-8''foto.jpg");
  EXPECT_EQ(response.headers["content-length"], std::to_string(300 * 1024));
  EXPECT_TRUE(response.body == BinaryContent(300 * 1024)) << "body differs";
}

struct Served {
  const char* query;
  const char* content;
  const char* type;
  const char* disposition;
};

class DownloadServedTest : public DownloadScriptTest, public testing::WithParamInterface<Served> {};

TEST_P(DownloadServedTest, NamesTheFileAndItsType) {
  const Served& c = GetParam();
  HttpResponse response = Download(c.query);
  EXPECT_EQ(response.status, 200);
  EXPECT_EQ(response.body, c.content);
  EXPECT_EQ(response.headers["content-type"], c.type);
  EXPECT_EQ(response.headers["content-disposition"], c.disposition);
  EXPECT_EQ(response.headers["content-length"], std::to_string(std::string(c.content).size()));
}

INSTANTIATE_TEST_SUITE_P(
    Names, DownloadServedTest,
    testing::Values(
        Served{"?file=GROSS.JPEG", "jpeg", "image/jpeg",
               "attachment; filename=\"GROSS.JPEG\"; filename*=UTF-8''GROSS.JPEG"},
        Served{"?file=notiz.txt", "text", "application/octet-stream",
               "attachment; filename=\"notiz.txt\"; filename*=UTF-8''notiz.txt"},
        Served{"?file=Am%20See.jpg", "mit Leerzeichen", "image/jpeg",
               "attachment; filename=\"Am See.jpg\"; filename*=UTF-8''Am%20See.jpg"},
        // A UTF-8 query, and the Windows-1252 query that a browser sends from the pages.
        Served{"?file=d%C3%BCnen.jpg", "umlaut", "image/jpeg",
               "attachment; filename=\"d__nen.jpg\"; filename*=UTF-8''d%C3%BCnen.jpg"},
        Served{"?file=d%FCnen.jpg", "umlaut", "image/jpeg",
               "attachment; filename=\"d__nen.jpg\"; filename*=UTF-8''d%C3%BCnen.jpg"},
        // Names with characters a query gives a meaning to: escaped as the pages link them now,
        // and as they stand, unescaped, in the pages of earlier runs.
        Served{"?file=a%26b%2Bc.jpg", "und plus", "image/jpeg",
               "attachment; filename=\"a_b_c.jpg\"; filename*=UTF-8''a%26b%2Bc.jpg"},
        Served{"?file=a&b+c.jpg", "und plus", "image/jpeg",
               "attachment; filename=\"a_b_c.jpg\"; filename*=UTF-8''a%26b%2Bc.jpg"},
        Served{"?file=1+1.jpg", "plus", "image/jpeg",
               "attachment; filename=\"1_1.jpg\"; filename*=UTF-8''1%2B1.jpg"},
        Served{"?file=Bild%20%233.jpg", "raute", "image/jpeg",
               "attachment; filename=\"Bild _3.jpg\"; filename*=UTF-8''Bild%20%233.jpg"},
        Served{"?file=100%25%20Sonne.jpg", "prozent", "image/jpeg",
               "attachment; filename=\"100_ Sonne.jpg\"; filename*=UTF-8''100%25%20Sonne.jpg"}));

class DownloadRefusedTest : public DownloadScriptTest,
                            public testing::WithParamInterface<const char*> {};

TEST_P(DownloadRefusedTest, AnswersNotFound) {
  HttpResponse response = Download(GetParam());
  EXPECT_EQ(response.status, 404);
  EXPECT_EQ(response.headers["content-type"], "text/plain; charset=UTF-8");
  EXPECT_EQ(response.headers.count("content-disposition"), 0u);
  EXPECT_NE(response.body.find("nicht gefunden"), std::string::npos) << response.body;
  EXPECT_EQ(response.body.find("nicht herausgeben"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Attempts, DownloadRefusedTest,
    testing::Values("", "?file=", "?datei=foto.jpg", "?file[]=foto.jpg", "?file=fehlt.jpg",
                    "?file=unterordner", "?file=.", "?file=..", "?file=../geheim.txt",
                    "?file=..%2Fgeheim.txt", "?file=..%2F..%2F..%2Fetc%2Fpasswd",
                    "?file=%2Fetc%2Fpasswd", "?file=..%5Cgeheim.txt",
                    "?file=unterordner%2Finnen.jpg", "?file=unterordner%5Cinnen.jpg",
                    "?file=foto.jpg%2F", "?file=foto.jpg%00", "?file=foto.jpg%00.txt",
                    "?file=.versteckt.jpg", "?file=zeilen%0Aumbruch.jpg", "?file=a%3Ab.jpg",
                    "?file=verweis.jpg", "?file=download.php", "?file=%81.jpg",
                    // The raw query is held to the same rules.
                    "?file=a&b=../geheim.txt", "?file=x&file=..%2Fgeheim.txt",
                    "?file=unterordner/innen.jpg", "?x=1&file=verweis.jpg", "?file=a&b+c.jpg/"));

}  // namespace
}  // namespace albumora
