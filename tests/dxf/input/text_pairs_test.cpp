// The rules of text DXF, which live in its pair source: every line counts,
// a value longer than 127 characters loses its rest and keeps the pairing,
// a code line's rest is its value line, extended data counts one line more.
#include "dxf/input/text_pairs.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

namespace vertoko {
namespace {

class TextPairsTest : public ::testing::Test {
  protected:
    TextPairs& Open(const std::string& text) {
        text_ = text;
        file_ = fmemopen(text_.data(), text_.size(), "rb");
        pairs_ = std::make_unique<TextPairs>(file_);
        return *pairs_;
    }
    void TearDown() override {
        pairs_.reset();
        if (file_ != nullptr) std::fclose(file_);
    }
    std::int32_t Code() {
        std::int32_t code = -1;
        EXPECT_EQ(pairs_->Code(code), PairStatus::Ok);
        return code;
    }
    std::string Text() {
        std::string_view value;
        EXPECT_EQ(pairs_->Text(value), PairStatus::Ok);
        return std::string(value);
    }

    std::string text_;
    std::FILE* file_ = nullptr;
    std::unique_ptr<TextPairs> pairs_;
};

TEST_F(TextPairsTest, EveryLineCountsAndMessagesQuoteTheLine) {
    TextPairs& pairs = Open("  0\r\nSECTION\r\n\n  2\nENTITIES\n");
    EXPECT_EQ(Code(), 0);
    EXPECT_EQ(pairs.MessageNumber(), 1);
    EXPECT_EQ(Text(), "SECTION");
    EXPECT_EQ(pairs.MessageNumber(), 2);
    // A blank line before a code line is skipped without counting.
    EXPECT_EQ(Code(), 2);
    EXPECT_EQ(MessageAt(pairs, "x."), "x.(L3)");
    EXPECT_EQ(Text(), "ENTITIES");
    std::int32_t code = 0;
    EXPECT_EQ(pairs.Code(code), PairStatus::End);
    EXPECT_EQ(InputFailureMessage(pairs, PairStatus::End, "end.", "\n"), "end.(L5)\n");
}

TEST_F(TextPairsTest, LongValuesLoseTheirRestInEveryFormAndKeepThePairing) {
    const std::string rest(200, 'r');
    TextPairs& pairs = Open("1\n" + std::string(130, 'a') + rest + "\n40\n1.5" +
                            std::string(130, ' ') + rest + "\n5\n" + rest + rest + "\n8\nLAYER\n");
    EXPECT_EQ(Code(), 1);
    EXPECT_EQ(Text(), std::string(127, 'a'));
    EXPECT_EQ(Code(), 40);
    float value = 0.0f;
    EXPECT_EQ(pairs.Float(value), PairStatus::Ok);
    EXPECT_EQ(value, 1.5f);
    EXPECT_EQ(Code(), 5);
    EXPECT_EQ(pairs.Skip(), PairStatus::Ok);
    EXPECT_EQ(Code(), 8);
    EXPECT_EQ(Text(), "LAYER");
    EXPECT_EQ(pairs.MessageNumber(), 8);
}

TEST_F(TextPairsTest, TheRestOfALongCodeLineIsItsValue) {
    // The 128th character is lost.
    Open("10" + std::string(125, ' ') + "#VALUE\n20\n2\n");
    EXPECT_EQ(Code(), 10);
    EXPECT_EQ(Text(), "VALUE");
    EXPECT_EQ(Code(), 20);
}

TEST_F(TextPairsTest, ExtendedDataCountsOneMoreLineWhenTheNextCodeIsRead) {
    TextPairs& pairs = Open("1001\nAPP\n1070\n5\n8\nL\n");
    EXPECT_EQ(Code(), 1001);
    EXPECT_EQ(Text(), "APP");
    EXPECT_EQ(pairs.MessageNumber(), 2);  // a message about this pair still says 2
    EXPECT_EQ(Code(), 1070);
    EXPECT_EQ(pairs.MessageNumber(), 4);
    std::int32_t number = 0;
    EXPECT_EQ(pairs.Int(number), PairStatus::Ok);
    EXPECT_EQ(number, 5);
    EXPECT_EQ(Code(), 8);
    EXPECT_EQ(pairs.MessageNumber(), 7);
}

TEST_F(TextPairsTest, NumbersAsAParserAsksThem) {
    TextPairs& pairs = Open("40\neast\n62\n 7 apples\n62\nnone\n70\nnone\n40\n-2.5e1\n");
    float value = 0.0f;
    EXPECT_EQ(Code(), 40);
    EXPECT_EQ(pairs.Float(value), PairStatus::BadNumber);
    std::int32_t number = 0;
    EXPECT_EQ(Code(), 62);
    EXPECT_EQ(pairs.Int(number), PairStatus::Ok);
    EXPECT_EQ(number, 7);
    EXPECT_EQ(Code(), 62);
    EXPECT_EQ(pairs.Int(number), PairStatus::BadNumber);
    EXPECT_EQ(Code(), 70);
    EXPECT_EQ(pairs.IntPrefix(number), PairStatus::Ok);
    EXPECT_EQ(number, 0);
    EXPECT_EQ(Code(), 40);
    EXPECT_EQ(pairs.Float(value), PairStatus::Ok);
    EXPECT_EQ(value, -25.0f);
}

TEST_F(TextPairsTest, NulBytesAreNoTextDxf) {
    TextPairs& pairs = Open(std::string("0\nSEC\0TION\n", 12));
    EXPECT_EQ(Code(), 0);
    std::string_view value;
    const PairStatus status = pairs.Text(value);
    EXPECT_EQ(status, PairStatus::Nul);
    EXPECT_EQ(InputFailureMessage(pairs, status, "end."),
              "NULバイトを含むファイルです(テキストのDXFでもバイナリDXFでもありません).(L2)");
}

}  // namespace
}  // namespace vertoko
