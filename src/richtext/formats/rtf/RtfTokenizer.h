#pragma once
// The RTF byte scanner: groups, control words with their numbers, control symbols, \'hh
// bytes, runs of text and \bin data. It knows nothing of what the words mean. Numbers
// saturate rather than overflow, names longer than any real control word are cut (they match
// nothing), and \bin data is bounded by the bytes left.
#include <QByteArrayView>
#include <QtGlobal>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string_view>

namespace zorim::rtf {

struct Token {
    enum Kind : uint8_t {
        End,        // no more data
        GroupStart, // {
        GroupEnd,   // }
        Word,       // a control word: name(), hasNumber, number
        Symbol,     // a control symbol: ch (a line break after the backslash reads as '\n')
        Byte,       // \'hh: ch
        Text,       // bytes of text, no braces, backslashes or line breaks among them: data, size
        Binary,     // the data of \binN: data, size
    };
    Kind kind = End;
    bool hasNumber = false;
    unsigned char ch = 0;               // Symbol: the symbol; Byte: the byte
    int32_t number = 0;
    const unsigned char* data = nullptr; // Word: the name; Text, Binary: the bytes
    qsizetype size = 0;

    std::string_view name() const { return {reinterpret_cast<const char*>(data), size_t(size)}; }
};

class Tokenizer {
public:
    Tokenizer(const unsigned char* data, qsizetype size, qsizetype start) : m_data(data), m_size(size), m_pos(start) {}

    Token next();
    // The data not read yet.
    QByteArrayView rest() const { return {reinterpret_cast<const char*>(m_data + m_pos), m_size - m_pos}; }
    qsizetype position() const { return m_pos; }

    // Steps over the rest of the current group, nested groups, escapes and binary data
    // included, up to and including its closing brace. False when the data ends first.
    bool skipGroup();

private:
    int32_t readNumber(bool& has);

    const unsigned char* m_data;
    qsizetype m_size;
    qsizetype m_pos;
};

namespace tokenizer {

inline bool isLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

inline int hexValue(unsigned char h)
{
    if (h >= '0' && h <= '9') return h - '0';
    if (h >= 'a' && h <= 'f') return h - 'a' + 10;
    if (h >= 'A' && h <= 'F') return h - 'A' + 10;
    return -1;
}

inline constexpr size_t kMaxWordLength = 40;

} // namespace tokenizer

inline int32_t Tokenizer::readNumber(bool& has)
{
    bool negative = false;
    if (m_pos + 1 < m_size && m_data[m_pos] == '-' && m_data[m_pos + 1] >= '0' && m_data[m_pos + 1] <= '9') {
        negative = true;
        ++m_pos;
    }
    int64_t value = 0;
    has = false;
    while (m_pos < m_size && m_data[m_pos] >= '0' && m_data[m_pos] <= '9') {
        has = true;
        // Saturate: a number of twenty digits is just "very large".
        if (value < INT32_MAX)
            value = value * 10 + (m_data[m_pos] - '0');
        ++m_pos;
    }
    value = std::min<int64_t>(value, INT32_MAX);
    return int32_t(negative ? -value : value);
}

// Inline: it runs once a token, and the reader is little more than this loop.
[[gnu::always_inline]] inline Token Tokenizer::next()
{
    Token t;
    while (m_pos < m_size) {
        const unsigned char c = m_data[m_pos];
        if (c == '\r' || c == '\n') {
            ++m_pos;
            continue;
        }
        if (c == '{') {
            ++m_pos;
            t.kind = Token::GroupStart;
            return t;
        }
        if (c == '}') {
            ++m_pos;
            t.kind = Token::GroupEnd;
            return t;
        }
        if (c != '\\') {
            const qsizetype start = m_pos++;
            while (m_pos < m_size) {
                const unsigned char d = m_data[m_pos];
                if (d == '{' || d == '}' || d == '\\' || d == '\r' || d == '\n')
                    break;
                ++m_pos;
            }
            t.kind = Token::Text;
            t.data = m_data + start;
            t.size = m_pos - start;
            return t;
        }
        ++m_pos;
        if (m_pos >= m_size)
            break;
        const unsigned char d = m_data[m_pos];
        if (tokenizer::isLetter(d)) {
            const qsizetype start = m_pos;
            while (m_pos < m_size && tokenizer::isLetter(m_data[m_pos]))
                ++m_pos;
            t.kind = Token::Word;
            t.data = m_data + start;
            t.size = std::min<qsizetype>(m_pos - start, qsizetype(tokenizer::kMaxWordLength));
            t.number = readNumber(t.hasNumber);
            if (m_pos < m_size && m_data[m_pos] == ' ')
                ++m_pos;
            if (t.size == 3 && t.data[0] == 'b' && t.data[1] == 'i' && t.data[2] == 'n') {
                const qsizetype n = std::clamp<qsizetype>(t.hasNumber ? t.number : 0, 0, m_size - m_pos);
                t.kind = Token::Binary;
                t.data = m_data + m_pos;
                t.size = n;
                m_pos += n;
            }
            return t;
        }
        ++m_pos;
        if (d == '\'') {
            if (m_pos + 1 < m_size) {
                const int hi = tokenizer::hexValue(m_data[m_pos]), lo = tokenizer::hexValue(m_data[m_pos + 1]);
                if (hi >= 0 && lo >= 0) {
                    m_pos += 2;
                    t.kind = Token::Byte;
                    t.ch = static_cast<unsigned char>(hi * 16 + lo);
                    return t;
                }
            }
        }
        t.kind = Token::Symbol;
        t.ch = d == '\r' ? '\n' : d;
        return t;
    }
    return t;
}

} // namespace zorim::rtf
