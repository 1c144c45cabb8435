#include "RtfTokenizer.h"

#include <algorithm>
#include <climits>

namespace zorim::rtf {
namespace {

bool isLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

int hexValue(unsigned char h)
{
    if (h >= '0' && h <= '9') return h - '0';
    if (h >= 'a' && h <= 'f') return h - 'a' + 10;
    if (h >= 'A' && h <= 'F') return h - 'A' + 10;
    return -1;
}

constexpr size_t kMaxWordLength = 40;

} // namespace

int32_t Tokenizer::readNumber(bool& has)
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

Token Tokenizer::next()
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
        if (isLetter(d)) {
            const qsizetype start = m_pos;
            while (m_pos < m_size && isLetter(m_data[m_pos]))
                ++m_pos;
            t.kind = Token::Word;
            t.name = std::string_view(reinterpret_cast<const char*>(m_data + start),
                                      std::min<size_t>(size_t(m_pos - start), kMaxWordLength));
            t.number = readNumber(t.hasNumber);
            if (m_pos < m_size && m_data[m_pos] == ' ')
                ++m_pos;
            if (t.name == "bin") {
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
                const int hi = hexValue(m_data[m_pos]), lo = hexValue(m_data[m_pos + 1]);
                if (hi >= 0 && lo >= 0) {
                    m_pos += 2;
                    t.kind = Token::Byte;
                    t.byte = static_cast<unsigned char>(hi * 16 + lo);
                    return t;
                }
            }
        }
        t.kind = Token::Symbol;
        t.symbol = d == '\r' ? '\n' : char(d);
        return t;
    }
    return t;
}

bool Tokenizer::skipGroup()
{
    int depth = 1;
    while (m_pos < m_size) {
        const unsigned char c = m_data[m_pos++];
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth == 0)
                return true;
        } else if (c == '\\' && m_pos < m_size) {
            if (m_data[m_pos] == 'b' && m_pos + 3 <= m_size && std::string_view(reinterpret_cast<const char*>(m_data + m_pos), 3) == "bin"
                && (m_pos + 3 == m_size || !isLetter(m_data[m_pos + 3]))) {
                m_pos += 3;
                bool has = false;
                const int32_t n = readNumber(has);
                if (m_pos < m_size && m_data[m_pos] == ' ')
                    ++m_pos;
                m_pos += std::clamp<qsizetype>(n, 0, m_size - m_pos);
            } else {
                ++m_pos; // an escaped character, or the first letter of a control word
            }
        }
    }
    return false;
}

} // namespace zorim::rtf
