#pragma once
// What the table reader looks up ahead in the tokens before it puts rows into the document:
// a row's cells, and how many rows of its table follow the row being opened. Each look-ahead
// reads a copy of the reader's tokenizer and at most the bytes it is given.
#include "RtfTables.h"
#include "RtfTokenizer.h"

#include <cstdint>

namespace zorim::rtf::ahead {

// The \cell words of a row, up to its \row (or, after some cells, the next row's \trowd), at
// most kMaxTableColumns; skips groups that hold no text. Takes the bytes it reads from budget.
// A row holding a table in a cell may state its definition again after that cell (LibreOffice
// does, and ends the row with one \cell too many): its cells are then at most that definition's.
// nested: the \nestcell words of a row of a table in a cell, up to its properties' group.
int cellsAhead(Tokenizer tokens, int64_t& budget, bool nested = false);

// The rows that follow the one being opened, in its table of `columns` cells, as far as the
// reader's way with them is certain, at most `limit`. The look-ahead follows what decides where
// a row starts and ends, its cell count as cellsAhead will give it, and where content outside
// \intbl ends the table, through the groups of plain text, fields and pictures; at anything
// else (notes, list labels, shapes, hidden text, nested tables, ...) it stops and gives the rows
// counted so far. Reads at most `budget` bytes; `used` gets what it read.
int rowsAhead(Tokenizer tokens, const OpenGroups& groups, int columns, int limit, int64_t budget, int64_t& used);

} // namespace zorim::rtf::ahead
