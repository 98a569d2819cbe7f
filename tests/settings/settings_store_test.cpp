#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "platform/text.h"
#include "support/scratch_folder.h"

namespace albumora {
namespace {

using namespace std::string_view_literals;

struct ReadCase {
  const char* name;
  std::string_view file;
  const char* group;
  const char* key;
  const char* expected;  // nullptr: the key is not found (the default comes back)
};

class ReaderGrammar : public testing::TestWithParam<ReadCase> {};

TEST_P(ReaderGrammar, FindsTheValue) {
  const ReadCase& c = GetParam();
  SettingsStore store;
  store.OpenFromBytes(c.file);
  store.SelectGroup(c.group);
  EXPECT_EQ(store.ReadText(c.key, "<default>"), c.expected ? c.expected : "<default>");
}

INSTANTIATE_TEST_SUITE_P(
    Lenient, ReaderGrammar,
    testing::Values(
        ReadCase{"BlanksAroundValueTrimmed", "[G]\r\n#K =  \t two words \t \r\n", "G", "#K",
                 "two words"},
        ReadCase{"OnlyTheFirstEqualsSeparates", "[G]\r\n#K = a = b\r\n", "G", "#K", "a = b"},
        ReadCase{"GroupAndKeyIgnoreCase", "[fotosallgemein]\r\n#FOTOSALLGEMEIN_PIXELKL_SPIN=300",
                 "FotosAllgemein", "#FotosAllgemein_PixelKl_Spin", "300"},
        ReadCase{"LfOnly", "[A]\n#X = 1\n[G]\n#K = v\n", "G", "#K", "v"},
        ReadCase{"CrOnly", "[A]\r#X = 1\r[G]\r#K = v\r", "G", "#K", "v"},
        ReadCase{"EmptyLinesAndRunsOfBreaks", "\r\n\r\n[G]\n\r\n\r\r#K = v", "G", "#K", "v"},
        ReadCase{"NulEndsALine", "[G]\0#K = v\0w"sv, "G", "#K", "v"},
        ReadCase{"IndentedLines", " \t[G]\r\n\t  #K = v\r\n", "G", "#K", "v"},
        ReadCase{"FirstOfTwoKeysWins", "[G]\r\n#K = 1\r\n#k = 2\r\n", "G", "#K", "1"},
        ReadCase{"GroupWithoutClosingBracket", "[CSS\r\n#K = v\r\n", "CSS", "#K", "v"},
        ReadCase{"TextAfterBracketIgnored", "[CSS] junk ]\r\n#K = v\r\n", "CSS", "#K", "v"},
        ReadCase{"BlanksInsideBracketsBelongToName", "[ CSS ]\r\n#K = v\r\n", "CSS", "#K", nullptr},
        ReadCase{"KeyWithoutEqualsIsEmpty", "[G]\r\n#K\r\n#L = 1\r\n", "G", "#K", ""},
        ReadCase{"LineAfterKeyWithoutEqualsStandsAlone", "[G]\r\n#K\r\n#L = 1\r\n", "G", "#L", "1"},
        ReadCase{"TrailingBlanksOfKeyIgnored", "[G]\r\n#K \t = v\r\n", "G", "#K", "v"},
        ReadCase{"CommentIsNoEntry", "[G]\r\n;#K = v\r\n", "G", ";#K", nullptr},
        ReadCase{"KeysStopAtTheNextGroup", "[G]\r\n[H]\r\n#K = v\r\n", "G", "#K", nullptr},
        ReadCase{"SecondGroupOfSameNameNeverReached", "[G]\r\n#A = 1\r\n[g]\r\n#K = v\r\n", "G",
                 "#K", nullptr},
        ReadCase{"EntriesAboveFirstGroupBelongToNone", "#K = v\r\n[G]\r\n", "G", "#K", nullptr},
        ReadCase{"EmptyGroupNameSelectsTop", "#K = v\r\n[G]\r\n", "", "#K", "v"},
        ReadCase{"MissingGroupGivesDefaults", "[G]\r\n#K = v\r\n", "H", "#K", nullptr},
        ReadCase{"Utf8ValueDecoded",
                 "\xEF\xBB\xBF[G]\r\n#K = Gr\xC3\xB6\xC3\x9F"
                 "e\r\n",
                 "G", "#K",
                 "Gr\xF6\xDF"
                 "e"},
        ReadCase{"Utf8AboveLatin1ReadsEmpty", "\xEF\xBB\xBF[G]\r\n#K = 5 \xE2\x82\xAC\r\n", "G",
                 "#K", ""},
        ReadCase{"Utf8MalformedReadsEmpty", "\xEF\xBB\xBF[G]\r\n#K = \xC3(\r\n", "G", "#K", ""},
        ReadCase{"Utf8OverlongReadsEmpty", "\xEF\xBB\xBF[G]\r\n#K = \xC1\xA1\r\n", "G", "#K", ""},
        ReadCase{"Utf8KeyMatchedEncoded",
                 "\xEF\xBB\xBF[Gr\xC3\xB6\xC3\x9F"
                 "e]\r\n#K = v\r\n",
                 "Gr\xF6\xDF"
                 "e",
                 "#K", "v"},
        ReadCase{"EightBitValueKeptAsIs",
                 "[G]\r\n#K = Gr\xF6\xDF"
                 "e\r\n",
                 "G", "#K",
                 "Gr\xF6\xDF"
                 "e"},
        ReadCase{"EightBitKeyIgnoresUmlautCase", "[\xC4RGER]\r\n#K = v\r\n", "\xE4rger", "#K",
                 "v"}),
    [](const testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

struct NumberCase {
  const char* name;
  const char* value;
  int expected;
};

class ReadNumber : public testing::TestWithParam<NumberCase> {};

TEST_P(ReadNumber, ReadsTheLeadingNumber) {
  SettingsStore store;
  store.OpenFromBytes(std::string("[G]\r\n#K = ") + GetParam().value + "\r\n");
  store.SelectGroup("G");
  EXPECT_EQ(store.ReadNumber("#K", 77), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ReadNumber,
    testing::Values(NumberCase{"Plain", "300", 300}, NumberCase{"DigitsThenLetters", "12abc", 12},
                    NumberCase{"NoDigits", "abc", 0}, NumberCase{"Empty", "", 0},
                    NumberCase{"Negative", "-7", -7}, NumberCase{"Plus", "+5", 5},
                    NumberCase{"SignAlone", "-", 0}, NumberCase{"BlankAfterSign", "- 5", 0},
                    NumberCase{"Largest", "2147483647", INT_MAX},
                    NumberCase{"Smallest", "-2147483648", INT_MIN},
                    NumberCase{"OverlongSaturatesUp", "99999999999999999999999", INT_MAX},
                    NumberCase{"OverlongSaturatesDown", "-2147483649", INT_MIN},
                    NumberCase{"JustAboveLargest", "2147483648", INT_MAX}),
    [](const testing::TestParamInfo<NumberCase>& info) { return info.param.name; });

TEST(SettingsStore, MissingKeyOrUnreadableFileGivesDefaults) {
  SettingsStore store;
  EXPECT_FALSE(store.OpenForReading("/nonexistent/folder/Einstellung.alb"));
  store.SelectGroup("G");
  EXPECT_EQ(store.ReadNumber("#K", 42), 42);
  EXPECT_EQ(store.ReadText("#K"), "");
  store.OpenFromBytes("[G]\r\n#K = 1\r\n");
  store.SelectGroup("G");
  EXPECT_EQ(store.ReadNumber("#Other", 42), 42);
}

TEST(SettingsStore, WritesIntoAReadListKeepingItsShape) {
  SettingsStore store;
  store.OpenFromBytes("#Top = t\r\n[A]\r\n;  note\r\n#a = 1\r\n[B]\r\n#b = 2\r\n");
  store.SelectGroup("a");
  store.WriteNumber("#A", -5);   // replaced in place, spelled as given
  store.WriteText("#New", "x");  // after the group's last line, before [B]
  store.SelectGroup("B");
  store.WriteText("#b2", "y");  // the group lines moved; B must still be found
  store.SelectGroup("C");       // pending: created by the first write
  EXPECT_EQ(store.ReadText("#c", "d"), "d");
  store.WriteText("#c", "z");
  store.SelectGroup("");
  store.WriteText("#Top2", "u");
  EXPECT_EQ(store.Serialise(),
            "#Top = t\r\n#Top2 = u\r\n[A]\r\n;  note\r\n#A = -5\r\n#New = x\r\n"
            "[B]\r\n#b = 2\r\n#b2 = y\r\n[C]\r\n#c = z\r\n");
  store.SelectGroup("b");
  EXPECT_EQ(store.ReadText("#B2"), "y");
}

TEST(SettingsStore, WrittenValuesStayOnTheirLine) {
  SettingsStore store;
  store.OpenFromBytes("");
  store.SelectGroup("G");
  store.WriteText("#K", "a\r\n[CSS]\0b"sv);
  EXPECT_EQ(store.Serialise(), "[G]\r\n#K = a  [CSS] b\r\n");
}

TEST(SettingsStore, Utf8FileStaysUtf8WhenWrittenBack) {
  SettingsStore store;
  store.OpenFromBytes("\xEF\xBB\xBF[G]\r\n#K = v\r\n");
  store.SelectGroup("G");
  store.WriteText("#K", "\xE4");
  EXPECT_EQ(store.Serialise(), "\xEF\xBB\xBF[G]\r\n#K = \xC3\xA4\r\n");
  EXPECT_EQ(store.ReadText("#K"), "\xE4");
}

// A mark of a UTF-8 file that is not at the very start leaves the file 8-bit, also once written.
TEST(SettingsStore, LateByteOrderMarkKeepsAnEightBitFileEightBit) {
  SettingsStore store;
  store.OpenFromBytes("\r\n\xEF\xBB\xBF\r\n[G]\r\n#K = \xE4\r\n");
  store.SelectGroup("G");
  ASSERT_EQ(store.ReadText("#K"), "\xE4");
  store.WriteText("#K", "\xE4x");
  SettingsStore again;
  again.OpenFromBytes(store.Serialise());
  again.SelectGroup("G");
  EXPECT_EQ(again.ReadText("#K"), "\xE4x");
}

TEST(SettingsStore, CloseWritesOnlyAChangedStore) {
  ScratchFolder folder;
  const std::string odd = "  ;x\n[G]\n#K=1\n";
  folder.Write("a.alb", odd);
  SettingsStore store;
  ASSERT_TRUE(store.OpenForReading(folder / "a.alb"));
  EXPECT_EQ(store.ReadNumber("#K", 0), 0);
  EXPECT_TRUE(store.CloseStore());
  EXPECT_EQ(folder.Read("a.alb"), odd);

  ASSERT_TRUE(store.OpenForReading(folder / "a.alb"));
  store.SelectGroup("G");
  store.WriteNumber("#K", 2);
  EXPECT_TRUE(store.CloseStore());
  EXPECT_EQ(folder.Read("a.alb"), "; x\r\n[G]\r\n#K = 2\r\n");
  EXPECT_EQ(folder.EntryCount(), 1);  // no temporary file left behind
}

TEST(SettingsStore, FailedWriteIsReportedToTheCaller) {
  SettingsStore store;
  EXPECT_TRUE(store.CreateForWriting("/nonexistent/folder/Einstellung.alb"));
  store.SelectGroup("G");
  store.WriteNumber("#K", 1);
  EXPECT_FALSE(store.CloseStore());
}

TEST(SettingsStore, OversizedFileIsNotRead) {
  ScratchFolder folder;
  std::string big = "[G]\r\n#K = 1\r\n";
  big.resize(SettingsStore::kMaxFileBytes + 1, 'x');
  folder.Write("big.alb", big);
  SettingsStore store;
  EXPECT_FALSE(store.OpenForReading(folder / "big.alb"));
  store.SelectGroup("G");
  EXPECT_EQ(store.ReadNumber("#K", 9), 9);
}

TEST(SettingsStore, HugeFilesAreReadInOnePass) {
  // A million group lines and a group of 200000 keys: selecting a group and reading a key each
  // walk the list once, so the few reads of a load stay linear in the file's size.
  std::string data;
  for (int i = 0; i < 1000000; ++i) data += "[G" + Decimal(i % 1000) + "]\n";
  data += "[Big]\n";
  for (int i = 0; i < 200000; ++i) data += "#K" + Decimal(i) + "=" + Decimal(i) + "\n";
  SettingsStore store;
  store.OpenFromBytes(data);
  ASSERT_TRUE(store.SelectGroup("big"));
  for (int i = 0; i < 200000; i += 20000) EXPECT_EQ(store.ReadNumber("#k" + Decimal(i), -1), i);
  EXPECT_EQ(store.ReadNumber("#k200000", -1), -1);
  EXPECT_TRUE(store.SelectGroup("G999"));
  EXPECT_FALSE(store.SelectGroup("G1000"));
}

}  // namespace
}  // namespace albumora
