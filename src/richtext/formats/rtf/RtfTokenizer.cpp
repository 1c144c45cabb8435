#include "RtfTokenizer.h"

#include <algorithm>
#include <climits>

namespace zorim::rtf {

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
                && (m_pos + 3 == m_size || !tokenizer::isLetter(m_data[m_pos + 3]))) {
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
