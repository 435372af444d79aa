#include "label_font.h"

#include <array>
#include <cmath>

namespace ondrel {

namespace {

// The glyphs of codes 32..127 as the hex digits of their stroke bytes.
constexpr std::array<std::string_view, 96> GlyphHex{
    "",                                 // 32
    "34B536BA",                         // 33 !
    "29AA49CA",                         // 34 "
    "24AA44CA16D618D8",                 // 35 #
    "34BA59A998A7C7D6C595",             // 36 $
    "14DA29A8B8B9A936B5C5C6B6",         // 37 %
    "549899AAB9B89695A4B4D6",           // 38 &
    "39CA",                             // 39 '
    "5AB8B6D4",                         // 40 (
    "14B6B89A",                         // 41 )
    "05E965893AB4",                     // 42 *
    "35B917D7",                         // 43 +
    "34A4A5B5B3A2",                     // 44 ,
    "17D7",                             // 45 -
    "34A4A5B5B4",                       // 46 .
    "EA",                               // 47 /
    "15A4C4D5D9CAAA9995D9",             // 48 0
    "24C434BAA9",                       // 49 1
    "19AACAD9D89594D4",                 // 50 2
    "15A4C4D5D6C7B7DA9A",               // 51 3
    "4A9796D647C4",                     // 52 4
    "5A9A98C8D7D5C4A495",               // 53 5
    "5ABA9895A4C4D5D6C797",             // 54 6
    "1ADAD99694",                       // 55 7
    "47D8D9CAAA9998A7C7D6D5C4A49596A7", // 56 8
    "24B4D6D9CAAA9998A7D7",             // 57 9
    "27A8B8B7A725B5B4A4A5",             // 58 :
    "26A7B7B6A634A4A5B5B3A2",           // 59 ;
    "4A97C4",                           // 60 <
    "18D816D6",                         // 61 =
    "1AC794",                           // 62 >
    "19AACAD9D8C7B7B635B4",             // 63 ?
    "43A39498AACAD9D6C5B6B7C8D8",       // 64 @
    "1499AACAD9D416D6",                 // 65 A
    "149ACAD9D8C79714C4D5D6C7",         // 66 B
    "55C4A49599AACAD9",                 // 67 C
    "149ACAD9D5C494",                   // 68 D
    "54949ADA17C7",                     // 69 E
    "149ADA17C7",                       // 70 F
    "59CAAA9995A4C4D5D7A7",             // 71 G
    "149A54DA17D7",                     // 72 H
    "14D434BA1ADA",                     // 73 I
    "15A4C4D5DA9A",                     // 74 J
    "149A17A7D427DA",                   // 75 K
    "1A94D4",                           // 76 L
    "149AB8DAD4",                       // 77 M
    "149AD4DA",                         // 78 N
    "249599AACAD9D5C4A4",               // 79 O
    "149ACAD9D8C797",                   // 80 P
    "249599AACAD9D6B4A436D4",           // 81 Q
    "149ACAD9D8C797A7D4",               // 82 R
    "15A4C4D5D6C7A79899AACAD9",         // 83 S
    "34BA9ADA",                         // 84 T
    "1A95A4C4D5DA",                     // 85 U
    "1A98B4D8DA",                       // 86 V
    "1A94B7D4DA",                       // 87 W
    "14DA549A",                         // 88 X
    "1A99B6B436D9DA",                   // 89 Y
    "1ADA94D4",                         // 90 Z
    "54B4BADA",                         // 91 [
    "1AD4",                             // 92 backslash
    "14B4BA9A",                         // 93 ]
    "18BAD8",                           // 94 ^
    "13D3",                             // 95 _
    "2BC8",                             // 96 `
    "54A49597A8C8C4",                   // 97 a
    "14C4D5D7C8A82AA4",                 // 98 b
    "55C4B4A5A7B8C8D7",                 // 99 c
    "4AC4A49597A8C844D4",               // 100 d
    "16C6D7C8A89795A4D4",               // 101 e
    "34B9CADA27C7",                     // 102 f
    "12B2C3C8A89795A4C4",               // 103 g
    "1A9418B8C7C4",                     // 104 h
    "3AB928B8B424C4",                   // 105 i
    "3AB928B8B3A292",                   // 106 j
    "149A4496C8",                       // 107 k
    "2ABAB424C4",                       // 108 l
    "149817A8B7B437C8D7D4",             // 109 m
    "149817A8B8C7C4",                   // 110 n
    "249597A8B8C7C5B4A4",               // 111 o
    "1298B8C7C5B494B4A4",               // 112 p
    "44A49597A8C8C2",                   // 113 q
    "189416B8C8",                       // 114 r
    "48A897A6B6C5B494",                 // 115 s
    "2AA4C418C8",                       // 116 t
    "1895A4C4C8",                       // 117 u
    "1896B4D6D8",                       // 118 v
    "1895A4B5B735C4D5D8",               // 119 w
    "18D414D8",                         // 120 x
    "12D6D81896B4",                     // 121 y
    "18C894C4",                         // 122 z
    "4BBBAAA897A6A4B3C3",               // 123 {
    "3BB3",                             // 124 |
    "2BBBCAC8D7C6C4B3A3",               // 125 }
    "19AAC8D9",                         // 126 ~
    "",                                 // 127
};

constexpr std::size_t GlyphSize = 17; // up to 16 stroke bytes and the closing 0

struct Font {
    std::array<std::array<std::uint8_t, GlyphSize>, 96> bytes{};
    std::array<std::uint8_t, 96> length{};
};

constexpr std::uint8_t HexDigit(char c)
{
    return static_cast<std::uint8_t>(c <= '9' ? c - '0' : c - 'A' + 10);
}

constexpr Font DecodeFont()
{
    Font font;
    for (std::size_t code = 0; code < GlyphHex.size(); ++code) {
        const std::string_view hex = GlyphHex[code];
        for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
            font.bytes[code][i / 2] = static_cast<std::uint8_t>(HexDigit(hex[i]) * 16 + HexDigit(hex[i + 1]));
        font.length[code] = static_cast<std::uint8_t>(hex.size() / 2);
    }
    return font;
}

constexpr Font StrokeFont = DecodeFont();

static_assert([] {
    for (std::string_view hex : GlyphHex)
        if (hex.size() % 2 != 0 || hex.size() / 2 >= GlyphSize) return false;
    return true;
}());

constexpr unsigned char Backspace = 8, Tab = 9, LineFeed = 10, VerticalTab = 11, CarriageReturn = 13;

PlotPoint UnitVector(float angle) { return {std::cos(angle), std::sin(angle)}; }

} // namespace

std::span<const std::uint8_t> GlyphStrokes(int code)
{
    if (code < 32 || code > 127) code = 32;
    const auto index = static_cast<std::size_t>(code - 32);
    return {StrokeFont.bytes[index].data(), StrokeFont.length[index]};
}

void LabelWriter::UpdateLabelVectors()
{
    const float c = std::cos(Direction), s = std::sin(Direction);
    U = {Width * c / 4, Width * s / 4};
    V = {(Slant * c - s) * Height / 6, (Slant * s + c) * Height / 6};
    A = (1 + Spaces) * 1.5f * Width * UnitVector(Direction);
    L = (1 + Lines) * 2 * Height * PlotPoint{s, -c};
}

void LabelWriter::SetDefaultLabelSize(PlotPoint span)
{
    Width = span.x * 0.005f;
    Height = span.y * 0.0075f;
    Spaces = Lines = 0;
    Direction = 0;
    Slant = 0;
    Origin = 1;
    Position = CarriageReturnPoint = pen_.LastPoint();
    GlyphOffset = {0, 0};
    UpdateLabelVectors();
}

void LabelWriter::DrawLabel(std::string_view text, int mode)
{
    Position = pen_.LastPoint();
    LabelOriginOffset(text, mode);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        switch (c) {
        case Backspace: Position -= A; break;
        case Tab: Position -= A / 2; break;
        case LineFeed:
            CarriageReturnPoint += L;
            Position += L;
            break;
        case VerticalTab:
            CarriageReturnPoint -= L;
            Position -= L;
            break;
        case CarriageReturn:
            Position = CarriageReturnPoint;
            if (mode == LabelText)
                LabelOriginOffset(text.substr(i + 1), LabelText);
            else if (mode == LabelBuffer)
                LabelOriginOffset(text, LabelRemeasure);
            break;
        case 14:
        case 15: break;
        case ' ': Position += A; break;
        default: DrawGlyph(c); break;
        }
        pen_.MovePen(0, Position);
    }
}

void LabelWriter::LabelOriginOffset(std::string_view text, int mode)
{
    if (mode != LabelRemeasure) {
        float chars = 0, lines = 0, longest = 0;
        for (char ch : text) {
            const auto c = static_cast<unsigned char>(ch);
            if (c >= 0x20 && c <= 0x7F)
                chars += 1;
            else if (c == Backspace)
                chars -= 1;
            else if (c == Tab)
                chars -= 0.5f;
            else if (mode == LabelText && c == CarriageReturn)
                break;
            else if (mode == LabelBuffer && c == LineFeed)
                lines += 1;
            else if (mode == LabelBuffer && c == VerticalTab)
                lines -= 1;
            else if (mode == LabelBuffer && c == CarriageReturn) {
                longest = std::max(longest, chars);
                chars = 0;
            }
        }
        chars_ = mode == LabelBuffer ? std::max(longest, chars) : chars;
        lines_ = lines;
    }

    const int along = Origin % 10; // 1..9 within either group
    float a = 0;
    if (along >= 4 && along <= 6) Position -= A * chars_ / 2;
    if (along >= 7) Position -= A * chars_;
    if (Origin < 10)
        a = along <= 3 ? 0.0f : along <= 6 ? 0.16666667f : 0.33333334f;
    else
        a = along <= 3 ? 0.33333334f : along <= 6 ? 0.16666667f : 1e-9f;

    const bool shift = mode != LabelText;
    const int across = (along - 1) % 3; // 0 bottom, 1 middle, 2 top
    float b = 0;
    if (across == 0) {
        if (shift) Position -= L * lines_;
        b = Origin < 10 ? 0.0f : 0.25f;
    } else if (across == 1) {
        if (shift) Position -= L * lines_ / 2;
        b = -0.25f;
    } else {
        if (shift) Position += L * (lines_ - 1);
        b = Origin < 10 ? -0.5f : -0.75f;
    }
    GlyphOffset = A * a - L * b;
}

void LabelWriter::DrawGlyph(unsigned char c)
{
    lineTypes_.UseSolid();
    for (std::uint8_t g : GlyphStrokes(c)) pen_.MovePen((g & 0x80) ? 1 : 0, GlyphPoint(g & 0x7F));
    Position += A;
    lineTypes_.UseSelected();
}

PlotPoint LabelWriter::GlyphPoint(std::uint8_t g) const
{
    const auto u = static_cast<float>((g >> 4) - 1);
    const auto v = static_cast<float>((g & 15) - 4);
    return Position + GlyphOffset + u * U + v * V;
}

void LabelWriter::DrawSymbol(unsigned char c)
{
    Position = pen_.LastPoint() - A / 2;
    GlyphOffset = A / 6 + L / 4;
    DrawGlyph(c);
    pen_.MovePen(0, Position);
}

} // namespace ondrel
