#include "text/decodeEscapes.h"

#include "gbk.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using test::gbk;

struct DecodeCase {
    const char* rule;
    Text text;
    Text expected;
};

void expectDecoded(const DecodeCase* begin, const DecodeCase* end) {
    for (const DecodeCase* c = begin; c != end; ++c) {
        EXPECT_EQ(decodeEscapes(c->text), c->expected) << c->rule;
    }
}

TEST(DecodeEscapes, DecodesUnicodeEscapesLineBreaksAndApostrophes) {
    const DecodeCase cases[] = {
        {"unicode escapes with lower-case digits", R"(\u4e2d\u6587)", gbk("中文")},
        {"unicode escapes with upper-case digits", R"(\u4E2D)", gbk("中")},
        {"item address",
         R"(//item.taobao.com/item.htm?id\u003d612345678901\u0026ns\u003d1\u0026abbucket\u003d5\u0026spm\u003da230r.1.14.1)",
         "//item.taobao.com/item.htm?id=612345678901&ns=1&abbucket=5&spm=a230r.1.14.1"},
        {"apostrophe comes back", "it's 'quoted'", "it's 'quoted'"},
        {"CR LF pair comes back", "a\r\nb\r\n", "a\r\nb\r\n"},
        {"backslash before a slash is dropped", R"(https:\/\/a.localhost\/x)", "https://a.localhost/x"},
        {"upper-case U is no escape", R"(\U4e2d)", "U4e2d"},
        {"Chinese text passes", gbk("中文abc"), gbk("中文abc")},
        {"the one-byte euro sign hides no line break", "\x80\r\n", "\x80\r\n"},
        {"the one-byte euro sign hides no apostrophe", "\x80\\'x'", "\x80'x'"},
        {"backslash as a second byte is no escape",
         "\x81\x5C"
         "n",
         "\x81\x5C"
         "n"},
        {"empty text", "", ""},
    };
    expectDecoded(std::begin(cases), std::end(cases));
}

TEST(DecodeEscapes, ReadsStringLiteralEscapes) {
    const DecodeCase cases[] = {
        {"line feed", R"(a\nb)", "a\nb"},
        {"tab, CR, backspace, form feed", R"(\t\r\b\f)", "\t\r\b\f"},
        {"vertical tab escape is a plain v", R"(\v)", "v"},
        {"quotes and backslash", R"(\"\'\\)", "\"'\\"},
        {"hexadecimal escape", R"(\x41\x4a)", "AJ"},
        {"hexadecimal escape without two digits", R"(\x4 \xg)", "x4 xg"},
        {"octal escapes", R"(\101\60\1010)", "A0A0"},
        {"octal escape from 4 takes two digits", R"(\477)", "'7"},
        {"zero escape gives nothing", R"(a\0b)", "ab"},
        {"eight and nine are no octal digits", R"(\8\9)", "89"},
        {"any other letter stands for itself", R"(\q\z\%)", "qz%"},
        {"two backslashes make one", R"(a\\)", "a\\"},
        {"backslash before a Chinese character", "\\" + gbk("中"), gbk("中")},
        {"hexadecimal escape of an apostrophe", R"(\x27)", "'"},
    };
    expectDecoded(std::begin(cases), std::end(cases));
}

TEST(DecodeEscapes, AppliesUnescapeAfterTheLiteral) {
    const DecodeCase cases[] = {
        {"two-digit escape", "a%20b%41", "a bA"},
        {"percent-u escape", "%u4e2d", gbk("中")},
        {"percent without digits stays", "100% %zz %", "100% %zz %"},
        {"short unicode escape stays as percent-u", R"(\u12)", "%u12"},
        {"upper-case percent-U is no unicode escape", "%U4e2d", "%U4e2d"},
        {"escaped percent still unescapes", R"(\%41)", "A"},
        {"percent zero zero gives nothing", "a%00b", "ab"},
        {"escape of a character code page 936 lacks", R"(\ud83d\ude00)", "?"},
        {"unpaired surrogate", "%ud800x", "?x"},
        {"right single quotation mark reads as an apostrophe", "%u2019", "'"},
        {"full-width apostrophe reads as an apostrophe", "\xA1\xAF", "'"},
        {"line break marker reads as CR LF", "a{$}b", "a\r\nb"},
    };
    expectDecoded(std::begin(cases), std::end(cases));
}

TEST(DecodeEscapes, GivesNothingWhereTheLiteralWouldNotCompile) {
    const DecodeCase cases[] = {
        {"lone line feed", "a\nb", ""},
        {"lone carriage return inside", "a\rb", ""},
        {"text ending in a single backslash", R"(abc\)", ""},
        {"line feed after a CR LF pair", "a\r\n\n", ""},
    };
    expectDecoded(std::begin(cases), std::end(cases));
}

TEST(DecodeEscapes, TreatsLeadingCarriageReturnAndLineContinuations) {
    const DecodeCase cases[] = {
        {"carriage return as first byte is dropped", "\rab", "ab"},
        {"CR LF as first pair stays", "\r\nab", "\r\nab"},
        {"backslash before a line feed continues the line", "a\\\nb", "ab"},
        {"backslash before a carriage return continues the line", "a\\\rb", "ab"},
        {"backslash before CR LF is dropped", "a\\\r\nb", "a\r\nb"},
    };
    expectDecoded(std::begin(cases), std::end(cases));
}

} // namespace
} // namespace velmora
