#include "fonts/font_management.h"

#include <cctype>
#include <cstdio>

#include "document/figure_records.h"

namespace tavrin {
namespace {

std::optional<char> letterOf(std::string_view text) {
    if (text.empty()) return std::nullopt;
    const int c = std::toupper(static_cast<unsigned char>(text.front()));
    if (c < 'A' || c > 'Z') return std::nullopt;
    return static_cast<char>(c);
}

char upperLetter(const Figure& font) {
    return static_cast<char>(std::toupper(FontRecord::decode(font.record).letter));
}

// A text read from a form before its font was in the label holds the letter's character
// code instead of a font number; font numbers stop well below 'A' (at most 26 fonts).
bool isLetterCode(int font) { return font >= 'A' && font <= 'Z'; }

// Texts that name the letter by its code take the font's number, so they draw with it.
void resolveLetterCodes(FigureList& figures, char letter) {
    const int number = softFontNumber(figures, letter);
    for (Figure& figure : figures)
        if (figure.kind == FigureKind::Text && recordField<&TextRecord::font>(figure.record) == letter)
            setRecordField<&TextRecord::font>(figure.record, number);
}

}  // namespace

std::vector<std::string> fontListEntries(const FigureList& figures) {
    std::vector<std::string> entries;
    for (const Figure* font : figures.fonts()) {
        const FontRecord record = FontRecord::decode(font->record);
        char line[64];
        std::snprintf(line, sizeof line, "%c  Height=%u Chars=%d", record.letter, record.height,
                      static_cast<int>(record.charCount));
        entries.emplace_back(line);
    }
    return entries;
}

std::optional<char> chosenNewFontLetter(std::string_view nameField) { return letterOf(nameField); }

std::optional<char> chosenListedFontLetter(std::string_view selectedEntry) { return letterOf(selectedEntry); }

Figure& addNewFont(FigureList& figures, char letter, std::vector<std::uint8_t> data) {
    FontRecord record;
    record.charCount = data.size() > 0 ? data[0] : 0;
    record.height = data.size() > 2 ? data[2] : 0;
    record.dataLength = static_cast<unsigned>(data.size());
    record.letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    for (Figure& figure : figures) {
        if (!figure.isFont() || upperLetter(figure) != record.letter) continue;
        const char letterAsTyped = record.letter;
        record.letter = FontRecord::decode(figure.record).letter;  // keep the entry's own letter
        figure.record = record.encode();
        figure.fontData = std::move(data);
        resolveLetterCodes(figures, letterAsTyped);
        return figure;
    }
    Figure& figure = figures.appendFigure(record.encode(), FigureKind::Font);
    figure.fontData = std::move(data);
    resolveLetterCodes(figures, record.letter);
    return figure;
}

int softFontNumber(const FigureList& figures, char letter) {
    const int wanted = std::toupper(static_cast<unsigned char>(letter));
    int number = 5;
    for (const Figure* font : figures.fonts()) {
        ++number;
        if (upperLetter(*font) == wanted) return number;
    }
    return 0;
}

std::optional<UserMessage> checkCanChooseFontToRemove(const FigureList& figures) {
    if (figures.fonts().empty()) return UserMessage{"Error", "Nothing to remove"};
    return std::nullopt;
}

std::optional<UserMessage> removeFont(FigureList& figures, char letter) {
    if (auto nothing = checkCanChooseFontToRemove(figures)) return nothing;
    const int number = softFontNumber(figures, letter);
    if (number == 0) return std::nullopt;
    int users = 0;
    for (const Figure& figure : figures)
        if (figure.kind == FigureKind::Text && recordField<&TextRecord::font>(figure.record) == number) ++users;
    if (users > 0) {
        char text[96];
        std::snprintf(text, sizeof text, "Font (%c) used in %d string%s. Can't remove",
                      std::toupper(static_cast<unsigned char>(letter)), users, users > 1 ? "s" : "");
        return UserMessage{"Error", text};
    }
    figures.removeFigure(figures.softFontByNumber(number));
    for (Figure& figure : figures) {
        if (figure.kind != FigureKind::Text) continue;
        // A letter code is no position: shifting it would name another letter.
        const int font = recordField<&TextRecord::font>(figure.record);
        if (font > number && !isLetterCode(font)) setRecordField<&TextRecord::font>(figure.record, font - 1);
    }
    return std::nullopt;
}

}  // namespace tavrin
