#pragma once
// The RTF byte scanner: groups, control words with their numbers, control symbols, \'hh
// bytes, runs of text and \bin data. It knows nothing of what the words mean. Numbers
// saturate rather than overflow, names longer than any real control word are cut (they match
// nothing), and \bin data is bounded by the bytes left.
#include <QtGlobal>

#include <cstdint>
#include <string_view>

namespace zorim::rtf {

struct Token {
    enum Kind : uint8_t {
        End,        // no more data
        GroupStart, // {
        GroupEnd,   // }
        Word,       // a control word: name, hasNumber, number
        Symbol,     // a control symbol: symbol (a line break after the backslash reads as '\n')
        Byte,       // \'hh: byte
        Text,       // bytes of text, no braces, backslashes or line breaks among them: data, size
        Binary,     // the data of \binN: data, size
    };
    Kind kind = End;
    std::string_view name;
    bool hasNumber = false;
    int32_t number = 0;
    char symbol = 0;
    unsigned char byte = 0;
    const unsigned char* data = nullptr;
    qsizetype size = 0;
};

class Tokenizer {
public:
    Tokenizer(const unsigned char* data, qsizetype size, qsizetype start) : m_data(data), m_size(size), m_pos(start) {}

    Token next();

    // Steps over the rest of the current group, nested groups, escapes and binary data
    // included, up to and including its closing brace. False when the data ends first.
    bool skipGroup();

private:
    int32_t readNumber(bool& has);

    const unsigned char* m_data;
    qsizetype m_size;
    qsizetype m_pos;
};

} // namespace zorim::rtf
