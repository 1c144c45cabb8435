// HTML mode's colouring of a 1 MB web page shown as its source, as a user switches the mode on
// and off again: every position coloured as text, markup or quoted value.
#include "forms/mainwindow/ColorTags.h"
#include "richtext/document/DocFormats.h"
#include "richtext/editor/RichEdit.h"

#include <QBuffer>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <benchmark/benchmark.h>
#include <memory>

using namespace zorim;

namespace {

// A page of about `bytes` characters, one element per line as pages are usually written:
// tags with quoted attributes, text between them, an entity, a script with braces.
QByteArray makePage(int bytes)
{
    const QByteArray head = "<!DOCTYPE html>\n<html lang=\"sk\">\n<head>\n<meta charset=\"utf-8\">\n"
                            "<title>Obchodn\xC3\xA9 podmienky</title>\n"
                            "<style>body { font-family: Verdana; color: #333; }</style>\n</head>\n<body>\n";
    const QByteArray item =
        "<div class=\"polozka\" id=\"p12\">\n"
        "  <h2>\xC4\xBD" "ubovoľn\xC3\xBD nadpis &amp; podnadpis</h2>\n"
        "  <p style=\"margin: 0 0 1em 0\">V\xC3\xA1\xC5\xBE" "en\xC3\xBD p\xC3\xA1n, dovo\xC4\xBE" "ujem si V\xC3\xA1s "
        "po\xC5\xBE" "iada\xC5\xA5 o <a href=\"https://www.example.sk/kontakt?x=1&amp;y=2\" title=\"Kontakt\">stretnutie</a>.</p>\n"
        "  <img src=\"obrazky/foto.png\" alt=\"Foto\" width=\"120\" height=\"80\">\n"
        "  <script>if (a > 1) { b = \"x\"; }</script>\n"
        "</div>\n";
    QByteArray page = head;
    page.reserve(bytes + item.size() + 32);
    while (page.size() < bytes - 16)
        page += item;
    page += "</body>\n</html>\n";
    return page;
}

// Whether every character of the document has the colour the rule gives its position.
bool coloredByTheRule(const RichEdit& edit, const TagColors& colors)
{
    const TagColoring coloring = tagColoring(edit.TextRange(0, edit.TextLength()), colors);
    std::vector<ColorRef> expected;
    for (const TagColoring::Run& run : coloring.runs)
        expected.insert(expected.end(), size_t(run.length), run.color);
    for (QTextBlock b = edit.widget()->document()->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const ColorRef color = refFromColor(f.charFormat().foreground().color());
            for (int p = f.position(); p < f.position() + f.length(); ++p)
                if (expected[size_t(p)] != color)
                    return false;
        }
    }
    return true;
}

void BM_ColorTags_1MB_Page(benchmark::State& state)
{
    auto edit = std::make_unique<RichEdit>();
    edit->resize(800, 600);
    edit->show();
    QByteArray page = makePage(1 << 20);
    QBuffer buffer(&page);
    buffer.open(QIODevice::ReadOnly);
    edit->setStreamFormat(StreamFormat::PlainText);
    edit->LoadStream(buffer);
    edit->setStreamFormat(StreamFormat::Default);
    const TagColors on{0x00FF0000, 0x000000FF, 0x00008000};
    const TagColors off{0, 0, 0};
    bool mode = false;
    for (auto _ : state) {
        mode = !mode;
        ColorTags(*edit, mode ? on : off);
    }
    if (!coloredByTheRule(*edit, mode ? on : off))
        state.SkipWithError("the colours differ from the rule");
    state.counters["MB"] = double(page.size()) / (1 << 20);
    state.counters["runs"] = double(tagColoring(edit->TextRange(0, edit->TextLength()), on).runs.size());
}
BENCHMARK(BM_ColorTags_1MB_Page)->Unit(benchmark::kMillisecond)->Iterations(4);

void BM_TagColoring_1MB_Page(benchmark::State& state)
{
    const QString text = QString::fromUtf8(makePage(1 << 20)).replace(u'\n', u'\r');
    const TagColors on{0x00FF0000, 0x000000FF, 0x00008000};
    for (auto _ : state)
        benchmark::DoNotOptimize(tagColoring(text, on));
}
BENCHMARK(BM_TagColoring_1MB_Page)->Unit(benchmark::kMillisecond);

} // namespace
