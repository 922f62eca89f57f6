#include "rtfbuilder/CreateRTFText.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <unordered_map>

#include "runtime/ColourMarker.h"
#include "runtime/Utf8.h"

namespace scenova {
namespace {

constexpr int kMostPoints = 1638;

// A colour as the colour table keys it: 0xRRGGBB.
uint32_t Packed(const ColourComponents& rgb) {
    return (uint32_t{rgb[0]} << 16) | (uint32_t{rgb[1]} << 8) | uint32_t{rgb[2]};
}

class Writer {
public:
    Writer(const std::vector<TranscriptBlock>& transcript, const TranscriptFontInfo& fonts,
           bool useSeparator)
        : m_transcript(transcript), m_fonts(fonts), m_useSeparator(useSeparator) {}

    std::string Build() {
        m_actorFont = FontIndex(m_fonts.ActorFontName);
        m_textFont = FontIndex(m_fonts.TextFontName);
        m_separatorFont = FontIndex(m_fonts.SeperatorFontName);

        // The colour table comes first in the document, so one pass collects
        // the colours and a second writes the paragraphs.
        std::size_t textBytes = 0;
        ForEachParagraph([&](std::string_view s, int, int16_t) {
            textBytes += s.size();
            CollectColours(s);
        });
        CollectColours(m_fonts.SeperatorChar);

        // Room for the text plus a little markup per paragraph; escapes may
        // still grow it, which std::string absorbs in amortised constant time.
        m_out.reserve(256 + textBytes + textBytes / 8 + 48 * m_paragraphs);
        m_out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n";
        WriteFontTable();
        WriteColourTable();
        // Every paragraph ends with its mark, the last one too: the line
        // search wants a match that ends inside its range, which stops one
        // short of the end of the text.
        ForEachParagraph([&](std::string_view s, int font, int16_t size) {
            WriteParagraph(s, font, size);
            m_out += "\\par\n";
        });
        m_out += "}\n";
        return std::move(m_out);
    }

private:
    template <class F>
    void ForEachParagraph(F&& paragraph) {
        m_paragraphs = 0;
        for (std::size_t b = 0; b < m_transcript.size(); ++b) {
            if (b > 0 && m_useSeparator) {
                paragraph(m_fonts.SeperatorChar, m_separatorFont, m_fonts.SeperatorFontSize);
                ++m_paragraphs;
            }
            paragraph(m_transcript[b].Actor, m_actorFont, m_fonts.ActorFontSize);
            ++m_paragraphs;
            for (const std::string& line : m_transcript[b].Texts) {
                paragraph(line, m_textFont, m_fonts.TextFontSize);
                ++m_paragraphs;
            }
        }
    }

    int FontIndex(const std::string& name) {
        const auto found = std::find(m_fontNames.begin(), m_fontNames.end(), name);
        if (found != m_fontNames.end()) {
            return static_cast<int>(found - m_fontNames.begin());
        }
        m_fontNames.push_back(name);
        return static_cast<int>(m_fontNames.size()) - 1;
    }

    void CollectColours(std::string_view s) {
        for (std::size_t pos = s.find('\\'); pos != std::string_view::npos;
             pos = s.find('\\', pos + 1)) {
            const colour_marker::Marker marker = colour_marker::At(s.substr(pos));
            if (marker.rgb &&
                m_colourIndex.emplace(Packed(*marker.rgb), static_cast<int>(m_colours.size()) + 1)
                    .second) {
                m_colours.push_back(Packed(*marker.rgb));
            }
        }
    }

    void WriteFontTable() {
        m_out += "{\\fonttbl";
        for (std::size_t i = 0; i < m_fontNames.size(); ++i) {
            m_out += "{\\f";
            PutNumber(static_cast<int>(i));
            m_out += "\\fnil\\fcharset0 ";
            // A ';' would end the name early.
            for (std::size_t pos = 0; pos < m_fontNames[i].size();) {
                const char32_t c = utf8::NextCodePoint(m_fontNames[i], pos);
                if (c == ';') {
                    m_out += "\\'3b";
                } else {
                    PutCodePoint(c);
                }
            }
            m_out += ";}";
        }
        m_out += "}\n";
    }

    void WriteColourTable() {
        m_out += "{\\colortbl;";
        for (uint32_t rgb : m_colours) {
            m_out += "\\red";
            PutNumber(static_cast<int>((rgb >> 16) & 0xFF));
            m_out += "\\green";
            PutNumber(static_cast<int>((rgb >> 8) & 0xFF));
            m_out += "\\blue";
            PutNumber(static_cast<int>(rgb & 0xFF));
            m_out += ';';
        }
        m_out += "}\n";
    }

    void WriteParagraph(std::string_view s, int font, int16_t size) {
        m_out += "\\pard\\plain\\f";
        PutNumber(font);
        if (size > 0) {
            m_out += "\\fs";
            PutNumber(2 * std::min<int>(size, kMostPoints));
        }
        m_out += ' ';
        colour_marker::Split(s, m_pieces);
        for (const colour_marker::Piece& piece : m_pieces) {
            if (piece.IsMarker()) {
                m_out += "\\cf";
                PutNumber(piece.marker.rgb ? m_colourIndex.at(Packed(*piece.marker.rgb)) : 0);
                m_out += ' ';
            } else {
                PutText(piece.text);
            }
        }
    }

    void PutText(std::string_view text) {
        for (std::size_t pos = 0; pos < text.size();) {
            const char32_t c = utf8::NextCodePoint(text, pos);
            if (c == '\r' && pos < text.size() && text[pos] == '\n') {
                ++pos;  // CR LF is one line break
            }
            PutCodePoint(c);
        }
    }

    void PutCodePoint(char32_t c) {
        if (c == '\\' || c == '{' || c == '}') {
            m_out += '\\';
            m_out += static_cast<char>(c);
        } else if (c == '\t') {
            m_out += "\\tab ";
        } else if (c == '\n' || c == '\r') {
            m_out += ' ';
        } else if (c < 0x20 || c == 0x7F) {
            // Other control characters have no visible form.
        } else if (c < 0x80) {
            m_out += static_cast<char>(c);
        } else if (c < 0x10000) {
            PutUnicodeUnit(c);
        } else {
            const char32_t offset = c - 0x10000;
            PutUnicodeUnit(0xD800 + (offset >> 10));
            PutUnicodeUnit(0xDC00 + (offset & 0x3FF));
        }
    }

    // \uN takes a signed 16-bit N; the '?' is what readers without Unicode show.
    void PutUnicodeUnit(char32_t unit) {
        m_out += "\\u";
        PutNumber(unit > 0x7FFF ? static_cast<int>(unit) - 0x10000 : static_cast<int>(unit));
        m_out += '?';
    }

    void PutNumber(int value) {
        char digits[16];
        const auto result = std::to_chars(digits, digits + sizeof digits, value);
        m_out.append(digits, result.ptr);
    }

    const std::vector<TranscriptBlock>& m_transcript;
    const TranscriptFontInfo& m_fonts;
    const bool m_useSeparator;

    std::string m_out;
    std::vector<std::string> m_fontNames;
    int m_actorFont = 0;
    int m_textFont = 0;
    int m_separatorFont = 0;
    std::vector<uint32_t> m_colours;  // colour table entries from 1
    std::unordered_map<uint32_t, int> m_colourIndex;
    std::vector<colour_marker::Piece> m_pieces;  // reused for every paragraph
    std::size_t m_paragraphs = 0;
};

}  // namespace

std::string CreateRTFText(int32_t /*hWnd*/, int16_t /*metricA*/, int16_t /*metricB*/,
                          const std::vector<TranscriptBlock>& transcript, TranscriptFontInfo& fonts,
                          int16_t& useSeparator) {
    return Writer(transcript, fonts, useSeparator != 0).Build();
}

}  // namespace scenova
