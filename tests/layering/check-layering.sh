#!/usr/bin/env bash
# The rooms' rule read from the sources: a window reaches the document only through the
# control's named operations, and no room of the control includes one above it. Prints each
# line that breaks it; fails when there is one.
set -u
cd "$1" || exit 2
# In a checkout the tracked files are read (git grep); in an unpacked source tree, all of them.
# Patterns are Perl's, for their look-aheads. A search that fails (rather than finding
# nothing) fails the check, so a broken pattern never passes as a kept rule.
find_lines() { # PATTERN PATH...
    local pattern="$1"; shift
    local status
    if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git grep -n -P "$pattern" -- "$@"
    else
        grep -rn -P "$pattern" "$@"
    fi
    status=$?
    [ $status -le 1 ] || { echo "search failed: $pattern" >&2; exit 2; }
}
broken=0
rule() { # WHAT PATTERN PATH...
    local what="$1"; shift
    local lines
    lines=$(find_lines "$@")
    if [ -n "$lines" ]; then
        printf '%s:\n%s\n' "$what" "$lines"
        broken=1
    fi
}
records='(CharFormat|DocFormats|KeptGroups|ListLevels|TableFormat|RichTypes|Notes|Sections)\.h'

rule "a window includes the text document's own classes" \
    '#include <QText(Cursor|Document|Block|Table|Frame|Layout)>|#include <QAbstractTextDocumentLayout>' src/forms src/main.cpp
rule "a window includes a file format or the layout" \
    '#include "richtext/(formats/|layout/(?!UnwrappedWidth))' src/forms src/main.cpp
rule "the converter includes a room above the document" \
    '#include "richtext/(layout|spelling|editor)/' src/convert
rule "the records include the model" \
    "#include \"richtext/(?!document/$records)" \
    src/richtext/document/CharFormat.h src/richtext/document/DocFormats.h src/richtext/document/DocFormats.cpp \
    src/richtext/document/KeptGroups.h src/richtext/document/TableFormat.h src/richtext/document/RichTypes.h \
    src/richtext/document/ListLevels.h src/richtext/document/ListLevels.cpp
    src/richtext/document/Notes.h src/richtext/document/Notes.cpp
    src/richtext/document/Sections.h src/richtext/document/Sections.cpp
rule "a file format includes the model or a room above it" \
    "#include \"richtext/(layout|spelling|editor)/|#include \"richtext/document/(?!$records)" src/richtext/formats
rule "the document includes a room above it" '#include "richtext/(layout|spelling|editor)/' src/richtext/document
rule "the layout includes a room above it" '#include "richtext/(spelling|editor)/' src/richtext/layout
rule "spelling includes the editor" '#include "richtext/editor/' src/richtext/spelling
exit $broken
