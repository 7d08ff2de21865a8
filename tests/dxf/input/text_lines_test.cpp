// The line reader: pairing of code and value lines, line ends, the
// 127-character cut and the refusal of NUL bytes.
#include "dxf/input/text_lines.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace vertoko {
namespace {

// Reads text as alternating code and value lines until input ends.
class InputFixture : public ::testing::Test {
  protected:
    void Open(const std::string& text) {
        file_ = std::tmpfile();
        std::fwrite(text.data(), 1, text.size(), file_);
        std::rewind(file_);
        input_ = std::make_unique<TextLines>();
        input_->Reset(file_);
    }
    void TearDown() override {
        if (file_ != nullptr) std::fclose(file_);
    }
    std::string Code(LineStatus expected = LineStatus::Ok) {
        std::string_view line;
        EXPECT_EQ(input_->ReadCodeLine(line), expected);
        return std::string(line);
    }
    std::string Value(LineStatus expected = LineStatus::Ok) {
        std::string_view line;
        EXPECT_EQ(input_->ReadValueLine(line), expected);
        return std::string(line);
    }
    std::vector<std::string> Pairs() {
        std::vector<std::string> lines;
        std::string_view line;
        while (input_->ReadCodeLine(line) == LineStatus::Ok) {
            lines.emplace_back(line);
            if (input_->ReadValueLine(line) != LineStatus::Ok) break;
            lines.emplace_back(line);
        }
        return lines;
    }

    std::FILE* file_ = nullptr;
    std::unique_ptr<TextLines> input_;
};

TEST_F(InputFixture, LineEndsOfAllKindsReadAlike) {
    // Code lines lose their leading blanks; a value line may be empty.
    const std::vector<std::string> lines = {"  0", "SECTION", "  2", "ENTITIES",
                                            "  1", "",        "0",   "EOF"};
    const std::vector<std::string> expected = {"0", "SECTION", "2", "ENTITIES",
                                               "1", "",        "0", "EOF"};
    for (const char* end : {"\r\n", "\n", "\r"}) {
        std::string text;
        for (const std::string& line : lines) text += line + end;
        Open(text);
        EXPECT_EQ(Pairs(), expected)
            << "line end " << (end[0] == '\r' ? (end[1] ? "CR LF" : "CR") : "LF");
        TearDown();
        file_ = nullptr;
    }
}

TEST_F(InputFixture, EmptyAndBlankValueLinesKeepPairing) {
    Open("  1\n\n  1\n   \n  1\r\n\r\n  0\nEOF\n");
    EXPECT_EQ(Pairs(), (std::vector<std::string>{"1", "", "1", "", "1", "", "0", "EOF"}));
}

TEST_F(InputFixture, BlankLinesBeforeCodeLinesAreSkipped) {
    Open("\n\n   \r\n 10\n1.5\n\n\n 20\n  2.5\n");
    EXPECT_EQ(Code(), "10");
    EXPECT_EQ(Value(), "1.5");
    EXPECT_EQ(Code(), "20");
    EXPECT_EQ(Value(), "2.5");  // leading blanks of a value are dropped
}

TEST_F(InputFixture, LongLineIsCutAt127AndLosesCharacter128) {
    std::string longLine;
    for (int i = 0; i < 200; ++i) longLine += static_cast<char>('a' + i % 26);
    Open("1\n" + longLine + "\n0\n");
    EXPECT_EQ(Code(), "1");
    EXPECT_EQ(Value(), longLine.substr(0, 127));
    EXPECT_TRUE(input_->LastLineCut());
    // The rest comes back as a line of its own unless it is skipped.
    EXPECT_EQ(Code(), longLine.substr(128));
    EXPECT_FALSE(input_->LastLineCut());
}

TEST_F(InputFixture, SkipLineDiscardsTheRestOfACutLine) {
    Open("1000\n" + std::string(300, 'x') + "\n  0\nEOF\n");
    EXPECT_EQ(Code(), "1000");
    EXPECT_EQ(Value().size(), 127u);
    EXPECT_EQ(input_->SkipLine(), LineStatus::Ok);
    EXPECT_EQ(Code(), "0");
    EXPECT_EQ(Value(), "EOF");
    // Nothing to skip after a line that ended normally.
    EXPECT_EQ(input_->SkipLine(), LineStatus::Ok);
}

TEST_F(InputFixture, LineOfExactly127CharactersIsWhole) {
    const std::string line(127, 'q');
    Open("1\r\n" + line + "\r\n 0\r\nEOF\r\n");
    EXPECT_EQ(Code(), "1");
    EXPECT_EQ(Value(), line);
    EXPECT_FALSE(input_->LastLineCut());
    EXPECT_EQ(Code(), "0");
    EXPECT_EQ(Value(), "EOF");
}

TEST_F(InputFixture, LinesAcrossBlockBoundariesReadWhole) {
    // Lines of varied length so that many of them straddle a block end.
    std::string text;
    std::vector<std::string> expected;
    for (int i = 0; text.size() < 3 * TextLines::kBlockSize; ++i) {
        std::string line =
            std::to_string(i) + std::string(static_cast<std::size_t>(i % 140), 'a' + i % 26);
        if (line.size() > 127) line.resize(127);  // keep every line whole
        expected.push_back(line);
        text += line + (i % 3 == 0 ? "\r\n" : "\n");
    }
    if (expected.size() % 2 != 0) {
        expected.push_back("x");
        text += "x\n";
    }
    Open(text);
    EXPECT_EQ(Pairs(), expected);
}

TEST_F(InputFixture, LastLineWithoutLineEndIsALine) {
    Open("  0\nEOF");
    EXPECT_EQ(Code(), "0");
    EXPECT_EQ(Value(), "EOF");
    Code(LineStatus::End);
    // Also when the line runs over a block end or reaches the 127 cut.
    Open("  0\n" + std::string(TextLines::kBlockSize - 2, 'x'));
    EXPECT_EQ(Code(), "0");
    EXPECT_EQ(Value(), std::string(127, 'x'));
    Open("  0\n" + std::string(127, 'y'));
    EXPECT_EQ(Code(), "0");
    EXPECT_EQ(Value(), std::string(127, 'y'));
    Code(LineStatus::End);
}

TEST_F(InputFixture, MissingValueLineIsEndOfInput) {
    Open("  0\n");
    EXPECT_EQ(Code(), "0");
    Value(LineStatus::End);
}

TEST_F(InputFixture, NulByteIsReported) {
    // A sentinel that is one byte off is no binary DXF.
    Open(std::string("AutoCAD Binary DXF\r\n\x1b\0\x01\x02", 24));
    EXPECT_EQ(Code(), "AutoCAD Binary DXF");
    Value(LineStatus::Nul);
}

// The one-pass readers of bare codes and plain decimals must read exactly
// what the usual calls read: the same numbers, positions, line starts and
// line ends, over every form of line (blanks, CR LF, LF and CR ends, signs,
// exponents, second points, lines of 18 and 19 characters, long lines cut
// at 127) and across block boundaries; where they decline, the usual calls
// take over unchanged.
TEST(BareGroups, ReadExactlyWhatTheUsualCallsRead) {
    const std::vector<std::string> codes = {"10", "  20", "\n\n31", "10 ",  "00010", "8",  "62",
                                            "-1", "",     "abc",    "1000", "0",     "42", "7x"};
    const std::vector<std::string> values = {"1.5",
                                             "-0.25",
                                             "  3",
                                             "1e5",
                                             "1.2.3",
                                             "-",
                                             ".",
                                             "-.5",
                                             "5.",
                                             "123456789012345678",
                                             "1234567890123456789",
                                             "0.00000000001",
                                             "16777217",
                                             "16777216.000",
                                             " 1.5 ",
                                             "\t-7",
                                             "0.012495",
                                             "-0",
                                             std::string(200, '7'),
                                             "0x1p3",
                                             "nan"};
    const std::vector<std::string> ends = {"\r\n", "\n", "\r"};
    std::mt19937 random(2024);
    std::string text;
    while (text.size() < 2 * TextLines::kBlockSize + 5000) {
        text += codes[random() % codes.size()] + ends[random() % ends.size()];
        text += values[random() % values.size()] + ends[random() % ends.size()];
    }
    // Two readers of the same bytes, each with a stream of its own.
    std::FILE* fastFile = fmemopen(text.data(), text.size(), "rb");
    std::FILE* usualFile = fmemopen(text.data(), text.size(), "rb");
    ASSERT_NE(fastFile, nullptr);
    ASSERT_NE(usualFile, nullptr);
    auto fast = std::make_unique<TextLines>();
    auto usual = std::make_unique<TextLines>();
    fast->Reset(fastFile);
    usual->Reset(usualFile);
    auto same = [&](int step) {
        EXPECT_EQ(fast->Here().offset, usual->Here().offset) << step;
        EXPECT_EQ(fast->Here().lastEnd, usual->Here().lastEnd) << step;
        EXPECT_EQ(fast->LastLineOffset(), usual->LastLineOffset()) << step;
        EXPECT_EQ(fast->LastLineCut(), usual->LastLineCut()) << step;
    };
    int bareCodes = 0;
    int bareValues = 0;
    for (int step = 0;; ++step) {
        std::string_view line;
        std::int32_t code = fast->ReadBareCode();
        LineStatus fastStatus = LineStatus::Ok;
        if (code >= 0) {
            ++bareCodes;
        } else {
            fastStatus = fast->ReadCodeLine(line);
            code = ParseIntPrefix(line);
        }
        const LineStatus usualStatus = usual->ReadCodeLine(line);
        ASSERT_EQ(fastStatus, usualStatus) << step;
        if (usualStatus != LineStatus::Ok) break;
        ASSERT_EQ(code, ParseIntPrefix(line)) << step;
        same(step);
        fast->SkipLine();
        usual->SkipLine();

        float fastValue = 0.0f;
        bool fastOk = fast->ReadBareFloat(fastValue);
        if (fastOk) {
            ++bareValues;
        } else {
            fastStatus = fast->ReadValueLine(line);
            fastOk = fastStatus == LineStatus::Ok && ParseFloat(line, fastValue);
        }
        float usualValue = 0.0f;
        const bool usualOk =
            usual->ReadValueLine(line) == LineStatus::Ok && ParseFloat(line, usualValue);
        ASSERT_EQ(fastOk, usualOk) << step << " " << line;
        if (usualOk) {
            EXPECT_EQ(std::bit_cast<std::uint32_t>(fastValue),
                      std::bit_cast<std::uint32_t>(usualValue))
                << step << " " << line;
        }
        same(step);
        fast->SkipLine();
        usual->SkipLine();
    }
    EXPECT_GT(bareCodes, 1000);
    EXPECT_GT(bareValues, 1000);
    fast.reset();
    usual.reset();
    std::fclose(fastFile);
    std::fclose(usualFile);
}

}  // namespace
}  // namespace vertoko
