#include "Replace.h"

#include "Find.h"
#include "TCustomizedMemo.h"

#include <algorithm>

namespace nollex {

namespace {

// The UTF-8 length of text[k] and, for a surrogate pair, of both its halves.
int utf8Length(QStringView text, qsizetype k)
{
    const char16_t c = text[k].unicode();
    if (c < 0x80)
        return 1;
    if (c < 0x800)
        return 2;
    if (QChar::isHighSurrogate(c) && k + 1 < text.size() && text[k + 1].isLowSurrogate())
        return 4;
    if (QChar::isLowSurrogate(c) && k > 0 && text[k - 1].isHighSurrogate())
        return 0;
    return 3;
}

// Edits within lines leave the colours of the text round them as they were,
// but the component would colour the page again from the first edit on (a
// second of a large page before the next paint far down). So the edited lines
// are coloured again one by one, each until a line ends in the colour and state
// it ended in before; then the whole page counts as coloured. Edits that add or
// join lines, or touch a preprocessor line, whose definitions reach further
// down, are left to the component.
void keepColours(TCustomizedMemo& editor, const std::vector<long>& startsAfter)
{
    using Base = QsciScintillaBase;
    const long length = editor.SendScintilla(Base::SCI_GETLENGTH);
    const long lines = editor.SendScintilla(Base::SCI_GETLINECOUNT);
    auto lineStart = [&](long line) {
        return line < lines ? long(editor.SendScintilla(Base::SCI_POSITIONFROMLINE, line)) : length;
    };
    std::vector<long> edited;
    for (const long start : startsAfter) {
        const long line = editor.SendScintilla(Base::SCI_LINEFROMPOSITION, start);
        if (edited.empty() || edited.back() != line)
            edited.push_back(line);
        const long first = editor.SendScintilla(Base::SCI_GETLINEINDENTPOSITION, line);
        if (first < length && editor.SendScintilla(Base::SCI_GETCHARAT, first) == '#')
            return;
    }
    long healed = -1;  // lines up to this one are coloured as the lexer would now
    for (long line : edited) {
        if (line <= healed)
            continue;
        constexpr long MostLinesOn = 1000;
        for (long more = 0;; ++more, ++line) {
            const long end = lineStart(line + 1);
            if (end <= 0 || more > MostLinesOn)
                return;
            const long endStyle = editor.SendScintilla(Base::SCI_GETSTYLEAT, end - 1);
            const long state = editor.SendScintilla(Base::SCI_GETLINESTATE, line);
            editor.SendScintilla(Base::SCI_COLOURISE, lineStart(line), end);
            if (editor.SendScintilla(Base::SCI_GETSTYLEAT, end - 1) == endStyle &&
                editor.SendScintilla(Base::SCI_GETLINESTATE, line) == state)
                break;
            if (line + 1 >= lines)
                return;
        }
        healed = line;
    }
    editor.SendScintilla(Base::SCI_STARTSTYLING, length, 0L);
}

}  // namespace

void applyEdits(TCustomizedMemo& editor, const QString& text, const std::vector<TextEdit>& edits)
{
    if (edits.empty())
        return;
    // One walk over the text gives every edit's byte range: asking the component
    // for each of ten thousand positions would cost a line search apiece.
    std::vector<std::pair<long, long>> bytes;
    bytes.reserve(edits.size());
    long at = 0;
    qsizetype k = 0;
    auto walkTo = [&](qsizetype pos) {
        for (; k < pos; ++k)
            at += utf8Length(text, k);
        return at;
    };
    std::vector<QByteArray> replacements;
    replacements.reserve(edits.size());
    for (const TextEdit& e : edits) {
        const long a = walkTo(e.start);
        bytes.emplace_back(a, walkTo(e.start + e.length));
        replacements.push_back(e.text.toUtf8());
    }
    // With explanations shown under lines and the page wrapped, the component
    // lays out the lines round every edit to size them; hidden for the batch,
    // ten thousand edits cost milliseconds instead of seconds.
    const bool coloured = editor.colouringActive() && editor.SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED) >=
                                                          editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    const long annotations = editor.SendScintilla(QsciScintillaBase::SCI_ANNOTATIONGETVISIBLE);
    editor.SendScintilla(QsciScintillaBase::SCI_ANNOTATIONSETVISIBLE, long(QsciScintillaBase::ANNOTATION_HIDDEN));
    editor.SendScintilla(QsciScintillaBase::SCI_BEGINUNDOACTION);
    // From the end, so that the byte ranges before each edit stay as they were.
    for (size_t i = edits.size(); i-- > 0;) {
        const QByteArray& utf8 = replacements[i];
        editor.SendScintilla(QsciScintillaBase::SCI_SETTARGETRANGE, bytes[i].first, bytes[i].second);
        editor.SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, static_cast<unsigned long>(utf8.size()),
                             utf8.constData());
    }
    editor.SendScintilla(QsciScintillaBase::SCI_ENDUNDOACTION);
    editor.SendScintilla(QsciScintillaBase::SCI_ANNOTATIONSETVISIBLE, annotations);
    const auto breaksLines = [](const QString& t) { return t.contains(u'\n') || t.contains(u'\r'); };
    if (!coloured || std::any_of(edits.begin(), edits.end(), [&](const TextEdit& e) {
            return breaksLines(e.text) || breaksLines(text.mid(e.start, e.length));
        }))
        return;
    std::vector<long> startsAfter;
    startsAfter.reserve(edits.size());
    long shift = 0;
    for (size_t i = 0; i < edits.size(); ++i) {
        startsAfter.push_back(bytes[i].first + shift);
        shift += long(replacements[i].size()) - (bytes[i].second - bytes[i].first);
    }
    keepColours(editor, startsAfter);
}

ReplaceStep replaceNext(TCustomizedMemo& editor, const TextMatcher& matcher, DocumentTextCache& cache)
{
    const int start = editor.selectionStart();
    // Asked of the component: the editor's own selection flag follows only after a repaint.
    const int selected = editor.toChar(int(editor.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND))) - start;
    qsizetype from = start;
    bool replaced = false;
    if (selected > 0) {
        const QString& text = cache.text(&editor);
        const std::optional<TextEdit> here = matcher.next(text, start);
        if (here && here->start == start && here->length == selected) {
            applyEdits(editor, text, {*here});
            from = start + here->text.size();
            replaced = true;
        }
    }
    const std::optional<TextEdit> next = matcher.next(cache.text(&editor), from);
    if (!next) {
        if (replaced)
            editor.setCaret(int(from));
        return replaced ? ReplaceStep::ReplacedLast : ReplaceStep::NotFound;
    }
    editor.setSelection(int(next->start), int(next->start + next->length));
    scrollLineToTop(editor, int(next->start));
    return replaced ? ReplaceStep::Replaced : ReplaceStep::Selected;
}

qsizetype replaceAll(TCustomizedMemo& editor, const TextMatcher& matcher, DocumentTextCache& cache)
{
    const QString& text = cache.text(&editor);
    const std::vector<TextEdit> edits = matcher.all(text);
    const int caret = editor.caretPosition();
    // The caret keeps its place among the characters not replaced.
    qsizetype shift = 0;
    for (const TextEdit& e : edits) {
        if (e.start >= caret)
            break;
        shift += e.start + e.length <= caret ? e.text.size() - e.length : e.start + e.text.size() - caret;
    }
    applyEdits(editor, text, edits);
    if (!edits.empty())
        editor.setCaret(int(caret + shift));
    return qsizetype(edits.size());
}

FormatResult formatPage(TCustomizedMemo& editor, FormatRequest request, DocumentTextCache& cache)
{
    const QString& text = cache.text(&editor);
    request.text = text;
    FormatResult r = formatCode(request);
    if (r.status != FormatResult::Done || r.edits.empty())
        return r;
    const qsizetype caret = caretAfterLayout(text, r.formatted, editor.caretPosition());
    applyEdits(editor, text, r.edits);
    editor.setCaret(int(caret));
    editor.SendScintilla(QsciScintillaBase::SCI_SCROLLCARET);
    return r;
}

}  // namespace nollex
