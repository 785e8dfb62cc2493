#include "TCustomizedMemo.h"

#include "LineWidths.h"
#include "SyntaxPalette.h"
#include "TextFile.h"
#include "explain/KindTable.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qscilexercpp.h>

#include <QAction>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QFileInfo>
#include <QFontInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace nollex {

namespace {

// A page no larger than this is wrapped whole when the caret labels or Find
// need its display lines: that stays well within a keystroke's time.
constexpr long SmallPageBytes = 64L * 1024;
// The most of a page checked for full-width characters at a time: a large page
// coloured in the background is checked in such steps between events.
constexpr long FullWidthStepBytes = 256L * 1024;

// Colouring a page not wrapped goes this far a step.
constexpr long ColourStepBytes = 64L * 1024;

// The check for a line too long to fit looks at this much of the page a step.
constexpr long WrapCheckStepBytes = 512L * 1024;
// While the background work colours a large page, the marks follow it this
// often; the component's own idle work runs in between.
constexpr int FollowColouringMs = 20;
// Checks without the colouring moving on before the marks stop following it:
// a hidden page is not coloured, and painting starts them again.
constexpr int FollowIdleChecks = 25;

// C and C++ with the type names in their own keyword set, so they get a colour
// of their own.
class CLexer : public QsciLexerCPP {
public:
    using QsciLexerCPP::QsciLexerCPP;
    const char* keywords(int set) const override
    {
        if (set == 1) {
            return "alignas alignof and and_eq asm break case catch class compl concept "
                   "const consteval constexpr constinit const_cast continue co_await "
                   "co_return co_yield decltype default delete do dynamic_cast else enum "
                   "explicit export extern false for friend goto if inline mutable namespace "
                   "new noexcept not not_eq nullptr operator or or_eq private protected "
                   "public register reinterpret_cast requires return sizeof static "
                   "static_assert static_cast struct switch template this thread_local "
                   "throw true try typedef typeid typename union using virtual volatile "
                   "while xor xor_eq restrict _Alignas _Alignof _Atomic _Generic _Noreturn "
                   "_Static_assert _Thread_local";
        }
        if (set == 2) {
            return "auto bool char char8_t char16_t char32_t double float int long short "
                   "signed unsigned void wchar_t _Bool _Complex size_t ptrdiff_t FILE "
                   "int8_t int16_t int32_t int64_t uint8_t uint16_t uint32_t uint64_t "
                   "intptr_t uintptr_t string vector map set pair";
        }
        return nullptr;
    }
};

// What each full-width character that an input method types is, and what to
// type instead, from the table of explanations.
const QHash<char32_t, QString>& fullWidthNotes()
{
    static const QHash<char32_t, QString> notes = [] {
        QHash<char32_t, QString> n;
        if (const std::optional<KindTable> table = parseKindTable(builtInKindTableText())) {
            for (const FullWidthChar& c : table->chars)
                n.insert(c.code, fullWidthCharNote(*table, c.code));
        }
        return n;
    }();
    return notes;
}

// Styles the compiler reads as text, not code: a full-width character there is
// the learner's to write.
bool isTextStyle(int style)
{
    switch (style) {
    case QsciLexerCPP::Comment:
    case QsciLexerCPP::CommentLine:
    case QsciLexerCPP::CommentDoc:
    case QsciLexerCPP::CommentLineDoc:
    case QsciLexerCPP::CommentDocKeyword:
    case QsciLexerCPP::CommentDocKeywordError:
    case QsciLexerCPP::PreProcessorComment:
    case QsciLexerCPP::PreProcessorCommentLineDoc:
    case QsciLexerCPP::DoubleQuotedString:
    case QsciLexerCPP::SingleQuotedString:
    case QsciLexerCPP::UnclosedString:
    case QsciLexerCPP::RawString:
    case QsciLexerCPP::VerbatimString:
    case QsciLexerCPP::TripleQuotedVerbatimString:
    case QsciLexerCPP::HashQuotedString:
    case QsciLexerCPP::EscapeSequence:
        return true;
    default:
        return false;
    }
}

}  // namespace

qreal averageCharWidth(const QFont& font)
{
    // Measured over the Latin letters, as dialog units are: a CJK font's own
    // average counts its full-width glyphs and would double every stop.
    static const QString letters =
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    return QFontMetricsF(font).horizontalAdvance(letters) / double(letters.size());
}

bool isCSourceName(const QString& path)
{
    if (path.isEmpty())
        return true;
    static const QStringList suffixes = {QStringLiteral("c"),   QStringLiteral("cpp"),
                                         QStringLiteral("cc"),  QStringLiteral("cxx"),
                                         QStringLiteral("h"),   QStringLiteral("hpp")};
    return suffixes.contains(QFileInfo(path).suffix(), Qt::CaseInsensitive);
}

TCustomizedMemo::TCustomizedMemo(QWidget* parent)
    : QsciScintilla(parent), checkTimer_(new QTimer(this)), wrapTimer_(new QTimer(this))
{
    checkTimer_->setSingleShot(true);
    connect(checkTimer_, &QTimer::timeout, this, &TCustomizedMemo::checkEdited);
    wrapTimer_->setSingleShot(true);
    connect(wrapTimer_, &QTimer::timeout, this, &TCustomizedMemo::checkWrappingStep);
    configureText();
    configureMargins();
    lexer_ = new CLexer(this);
    unbindZoomAndLineSwap();

    QFont f(QStringLiteral("ＭＳ 明朝"));
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    f.setPointSize(12);
    QWidget::setFont(f);
    applyLook();

    connect(this, &QsciScintilla::linesChanged, this, &TCustomizedMemo::updateMarginWidth);
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this, [this](int position, int type) {
        if (!(type & (SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT)))
            return;
        // A new edit of the user's starts the one-step Undo over.
        if (type & SC_PERFORMED_USER)
            undoToggled = false;
        forgetEditedExplanation(position);
    });
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char*, int length) { noteEdit(position, type, length); });
    // Painting styles what shows: the full-width marks follow it.
    connect(this, &QsciScintillaBase::SCN_PAINTED, this, &TCustomizedMemo::checkStyled);
    connect(this, &QsciScintillaBase::SCN_DWELLSTART, this, &TCustomizedMemo::showFullWidthNote);
    connect(this, &QsciScintillaBase::SCN_DWELLEND, this, [] { QToolTip::hideText(); });
    // The component tells of every change in the number of display lines by
    // the scroll bar's range: a large page wrapping in the background, a wider
    // window, a new font. The line label follows it.
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, &TCustomizedMemo::wrapProgressed);
}

void TCustomizedMemo::configureText()
{
    setUtf8(true);
    setEolMode(EolUnix);
    // Character positions come from line indexes: UTF-16 for the window's
    // positions, code points for the component's own counts (ComponentCount).
    SendScintilla(SCI_ALLOCATELINECHARACTERINDEX,
                  SC_LINECHARACTERINDEX_UTF16 | SC_LINECHARACTERINDEX_UTF32);
    SendScintilla(SCI_USEPOPUP, SC_POPUP_NEVER);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    SendScintilla(SCI_SETHSCROLLBAR, 0);
    // Words wrap, but only on a page with a line that may not fit (checkWrapping):
    // an empty page has none. Wrapping a large page runs in the background from
    // the top; the layouts of the visible page are kept, and repeated words are
    // measured once. A page not wrapped is coloured in the background all the same.
    setWrapMode(WrapNone);
    SendScintilla(SCI_SETLAYOUTCACHE, SC_CACHE_PAGE);
    SendScintilla(SCI_SETPOSITIONCACHE, 4096);
    // A paint far below the coloured part of a large page colours a slice and
    // the rest on to it in the background, instead of all of it before painting.
    SendScintilla(SCI_SETIDLESTYLING, long(SC_IDLESTYLING_TOVISIBLE));
    // Unwrapped, the page still never scrolls sideways: every line fits, and
    // the caret needs no room beyond the end of one.
    SendScintilla(SCI_SETXCARETPOLICY, long(CARET_EVEN), 0L);
    setBraceMatching(SloppyBraceMatch);
    setAutoIndent(true);
    setTabIndents(false);
    setBackspaceUnindents(false);
}

void TCustomizedMemo::configureMargins()
{
    setMarginWidth(1, 0);
    // A few pixels between the line numbers and the text.
    SendScintilla(SCI_SETMARGINLEFT, 0UL, 4L);
    setMarginType(0, NumberMargin);
    // The build's marks have a margin of their own, so they show with the line
    // numbers off too.
    setMarginType(1, SymbolMargin);
    for (const MarkKind kind : {MarkKind::Error, MarkKind::Warning}) {
        marker_[int(kind)] = markerDefine(Circle);
        indicator_[int(kind)] = indicatorDefine(SquigglePixmapIndicator);
    }
    fullWidthBox_ = indicatorDefine(StraightBoxIndicator);
    fullWidthUnderline_ = indicatorDefine(ThickCompositionIndicator);
    SendScintilla(SCI_SETMOUSEDWELLTIME, 500L);
    breakpointMarker_ = markerDefine(Circle);
    stopArrow_ = markerDefine(RightArrow);
    stopLine_ = markerDefine(Background);
    explainedMarker_ = markerDefine(Invisible);
    staleArrow_ = markerDefine(RightArrow);
    staleLine_ = markerDefine(Background);
    setMarginMarkerMask(0, 0);
    setMarginMarkerMask(1, (1 << marker_[0]) | (1 << marker_[1]) | (1 << breakpointMarker_) | (1 << stopArrow_) |
                               (1 << staleArrow_));
    // A click on a line's number or mark sets or clears its breakpoint.
    setMarginSensitivity(0, true);
    setMarginSensitivity(1, true);
    connect(this, &QsciScintilla::marginClicked, this,
            [this](int, int line, Qt::KeyboardModifiers) { toggleBreakpoint(line + 1); });
    // The explanations' styles lie past the lexer's, so colouring never reaches them.
    explanationStyle_ = int(SendScintilla(SCI_ALLOCATEEXTENDEDSTYLES, 2L));
    SendScintilla(SCI_ANNOTATIONSETSTYLEOFFSET, long(explanationStyle_));
    SendScintilla(SCI_ANNOTATIONSETVISIBLE, long(ANNOTATION_INDENTED));
}

void TCustomizedMemo::unbindZoomAndLineSwap()
{
    // All pages keep one size, so the component's own zoom has no key; nor has
    // swapping two lines, which a stray Ctrl+T would do unseen.
    for (QsciCommand::Command unbound :
         {QsciCommand::ZoomIn, QsciCommand::ZoomOut, QsciCommand::LineTranspose}) {
        if (QsciCommand* command = standardCommands()->find(unbound)) {
            command->setKey(0);
            command->setAlternateKey(0);
        }
    }
}

TCustomizedMemo::~TCustomizedMemo() = default;

bool TCustomizedMemo::Modified() const
{
    // Asked of the component itself: its cached flag follows an undo only after
    // the change has been reported.
    return SendScintilla(SCI_GETMODIFY) != 0 || forcedModified_;
}

void TCustomizedMemo::setModified(bool modified)
{
    // The component can only be told that its text is saved; a page that must
    // count as changed anyway keeps that here.
    forcedModified_ = modified;
    if (!modified)
        QsciScintilla::setModified(false);
}

QString TCustomizedMemo::toPlainText() const
{
    const long length = SendScintilla(SCI_GETLENGTH);
    const auto* bytes = reinterpret_cast<const char*>(SendScintilla(SCI_GETCHARACTERPOINTER));
    return textFromUtf8(QByteArrayView(bytes, length));
}

void TCustomizedMemo::setPlainText(const QString& text)
{
    setUtf8Text(text.toUtf8());
}

void TCustomizedMemo::setUtf8Text(const QByteArray& bytes)
{
    const bool wasLoading = Loading;
    Loading = true;
    // Given the text while wrapping, the component wraps all of it before it
    // returns (seconds for ten megabytes); switched on after, when a line needs
    // it, it wraps what is shown at once and the rest in the background.
    setWrapping(false);
    // Marks belong to the text they were put on.
    clearMarks();
    SendScintilla(SCI_SETTEXT, 0UL, bytes.constData());
    colourWhole_ = true;
    checkWrapping();
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    setModified(false);
    undoToggled = false;
    Loading = wasLoading;
}

void TCustomizedMemo::insertPlainText(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    SendScintilla(SCI_REPLACESEL, 0UL, bytes.constData());
}

int TCustomizedMemo::characterCount() const
{
    const long last = SendScintilla(SCI_GETLINECOUNT) - 1;
    const long lastStart = SendScintilla(SCI_POSITIONFROMLINE, last);
    return int(SendScintilla(SCI_INDEXPOSITIONFROMLINE, last, SC_LINECHARACTERINDEX_UTF16) +
               SendScintilla(SCI_COUNTCODEUNITS, lastStart, SendScintilla(SCI_GETLENGTH)));
}

QString TCustomizedMemo::textRange(int from, int to) const
{
    const long a = toByte(from), b = toByte(to);
    if (b <= a)
        return QString();
    const auto* bytes = reinterpret_cast<const char*>(SendScintilla(SCI_GETRANGEPOINTER, a, b - a));
    return textFromUtf8(QByteArrayView(bytes, b - a));
}

int TCustomizedMemo::toByte(int charPos) const
{
    if (charPos <= 0)
        return 0;
    if (charPos >= characterCount())
        return int(SendScintilla(SCI_GETLENGTH));
    const long line = SendScintilla(SCI_LINEFROMINDEXPOSITION, charPos, SC_LINECHARACTERINDEX_UTF16);
    const long lineByte = SendScintilla(SCI_POSITIONFROMLINE, line);
    const long lineChar = SendScintilla(SCI_INDEXPOSITIONFROMLINE, line, SC_LINECHARACTERINDEX_UTF16);
    const long units = charPos - lineChar;
    const long byte = SendScintilla(SCI_POSITIONRELATIVECODEUNITS, lineByte, units);
    // Between the two halves of a surrogate pair the component finds no position
    // and counts on past the end, which it answers with 0: the character's start
    // stands for that position.
    if (units > 0 && byte <= lineByte)
        return int(SendScintilla(SCI_POSITIONRELATIVECODEUNITS, lineByte, units - 1));
    return int(byte);
}

int TCustomizedMemo::toChar(int bytePos) const
{
    const long line = SendScintilla(SCI_LINEFROMPOSITION, bytePos);
    const long lineByte = SendScintilla(SCI_POSITIONFROMLINE, line);
    return int(SendScintilla(SCI_INDEXPOSITIONFROMLINE, line, SC_LINECHARACTERINDEX_UTF16) +
               SendScintilla(SCI_COUNTCODEUNITS, lineByte, bytePos));
}

int TCustomizedMemo::caretPosition() const
{
    return toChar(int(SendScintilla(SCI_GETCURRENTPOS)));
}

int TCustomizedMemo::selectionStart() const
{
    return toChar(int(SendScintilla(SCI_GETSELECTIONSTART)));
}

void TCustomizedMemo::setCaret(int pos)
{
    SendScintilla(SCI_SETEMPTYSELECTION, toByte(pos));
}

void TCustomizedMemo::setSelection(int anchor, int pos)
{
    SendScintilla(SCI_SETSELECTION, toByte(pos), toByte(anchor));
}

int TCustomizedMemo::firstVisibleDisplayLine() const
{
    return int(SendScintilla(SCI_GETFIRSTVISIBLELINE));
}

int TCustomizedMemo::displayLineOf(int pos)
{
    const long byte = toByte(pos);
    const long line = SendScintilla(SCI_LINEFROMPOSITION, byte);
    // The component counts the wrapped lines of a paragraph only once it has
    // wrapped it; a small page is wrapped here, a large one in the background
    // (wrapProgressed tells when the count has changed).
    if (SendScintilla(SCI_GETLENGTH) <= SmallPageBytes)
        SendScintilla(SCI_ENSUREVISIBLE, line);
    const long lineStart = SendScintilla(SCI_POSITIONFROMLINE, line);
    const long height = std::max(1L, SendScintilla(SCI_TEXTHEIGHT, line));
    const long sub = (SendScintilla(SCI_POINTYFROMPOSITION, 0, byte) -
                      SendScintilla(SCI_POINTYFROMPOSITION, 0, lineStart)) / height;
    return int(SendScintilla(SCI_VISIBLEFROMDOCLINE, line) + std::max(0L, sub));
}

void TCustomizedMemo::setPageColor(const QColor& color)
{
    if (color == color_)
        return;
    color_ = color;
    applyLook();
}

void TCustomizedMemo::setFontColor(const QColor& color)
{
    if (color == fontColor_)
        return;
    fontColor_ = color;
    applyLook();
}

void TCustomizedMemo::setFont(const QFont& font)
{
    // Every style change lays the page out anew; the page set copies page 0's
    // font to every page on each layout, mostly unchanged.
    if (font == QWidget::font() && font.resolveMask() == QWidget::font().resolveMask())
        return;
    QWidget::setFont(font);
    applyLook();
    widths_.reset();
    checkWrapping();
}

void TCustomizedMemo::setLanguageFromName(const QString& path)
{
    const bool c = isCSourceName(path);
    if (c == cSource_)
        return;
    cSource_ = c;
    applyLook();
}

void TCustomizedMemo::setColouring(bool on)
{
    if (on == colouring_)
        return;
    colouring_ = on;
    applyLook();
}

void TCustomizedMemo::setLineNumbers(bool on)
{
    if (on == lineNumbers_)
        return;
    lineNumbers_ = on;
    marginDigits_ = 0;
    updateMarginWidth();
}

void TCustomizedMemo::applyLook()
{
    chooseLexer();
    // Setting a lexer resets every style, so the page's own look goes on after it.
    applyPageStyle();
    const SyntaxPalette p = syntaxPalette(color_);
    if (lexerActive_)
        applySyntaxColours(p);
    applyMarginColours(p);
    applyExplanationColours(p);
    if (TabWidth > 0)
        SendScintilla(SCI_SETTABWIDTH, TabWidth);
}

void TCustomizedMemo::chooseLexer()
{
    const bool wantLexer = colouring_ && cSource_;
    if (wantLexer == lexerActive_)
        return;
    lexerActive_ = wantLexer;
    setLexer(wantLexer ? lexer_ : nullptr);
    // The page has no fold margin, and the lexer would work out the fold level of
    // every line it colours: a sixth of the colouring of a large page.
    if (wantLexer)
        SendScintilla(SCI_SETPROPERTY, "fold", "0");
    // Styles start over: so do the full-width marks, which a plain page has none of.
    const long length = SendScintilla(SCI_GETLENGTH);
    for (const int indicator : {fullWidthBox_, fullWidthUnderline_}) {
        SendScintilla(SCI_SETINDICATORCURRENT, long(indicator));
        SendScintilla(SCI_INDICATORCLEARRANGE, 0L, length);
    }
    checkedTo_ = 0;
    if (wantLexer) {
        editedTo_ = length;
        colourWhole_ = true;
        checkTimer_->start(0);
    }
    // Plain pages are styled as plain text by the component itself, so
    // colouring moves on with the wrapping there too.
    if (!wantLexer)
        SendScintilla(SCI_SETLEXER, long(SCLEX_NULL));
}

void TCustomizedMemo::applyPageStyle()
{
    const QFont f = QWidget::font();
    // The component takes a family name only; the name the font falls back to
    // keeps the fixed pitch the page asked for.
    const QByteArray family = QFontInfo(f).family().toUtf8();
    double points = f.pointSizeF();
    if (points <= 0)
        points = f.pixelSize() * 72.0 / logicalDpiY();
    SendScintilla(SCI_STYLESETFONT, STYLE_DEFAULT, family.constData());
    SendScintilla(SCI_STYLESETSIZEFRACTIONAL, STYLE_DEFAULT, std::lround(points * int(SC_FONT_SIZE_MULTIPLIER)));
    SendScintilla(SCI_STYLESETWEIGHT, STYLE_DEFAULT, long(f.weight()));
    SendScintilla(SCI_STYLESETITALIC, STYLE_DEFAULT, long(f.italic()));
    SendScintilla(SCI_STYLESETFORE, STYLE_DEFAULT, fontColor_);
    SendScintilla(SCI_STYLESETBACK, STYLE_DEFAULT, color_);
    SendScintilla(SCI_STYLECLEARALL);
    SendScintilla(SCI_SETCARETFORE, fontColor_);
}

void TCustomizedMemo::applySyntaxColours(const SyntaxPalette& p)
{
    const struct {
        int style;
        QColor color;
    } styles[] = {
        {QsciLexerCPP::Comment, p.comment},
        {QsciLexerCPP::CommentLine, p.comment},
        {QsciLexerCPP::CommentDoc, p.comment},
        {QsciLexerCPP::CommentLineDoc, p.comment},
        {QsciLexerCPP::CommentDocKeyword, p.comment},
        {QsciLexerCPP::CommentDocKeywordError, p.comment},
        {QsciLexerCPP::PreProcessorComment, p.comment},
        {QsciLexerCPP::PreProcessorCommentLineDoc, p.comment},
        {QsciLexerCPP::Number, p.number},
        {QsciLexerCPP::Keyword, p.keyword},
        {QsciLexerCPP::KeywordSet2, p.type},
        {QsciLexerCPP::DoubleQuotedString, p.string},
        {QsciLexerCPP::SingleQuotedString, p.string},
        {QsciLexerCPP::UnclosedString, p.string},
        {QsciLexerCPP::RawString, p.string},
        {QsciLexerCPP::VerbatimString, p.string},
        {QsciLexerCPP::EscapeSequence, p.string},
        {QsciLexerCPP::UserLiteral, p.number},
        {QsciLexerCPP::PreProcessor, p.preprocessor},
        {QsciLexerCPP::Operator, p.op},
    };
    for (const auto& s : styles) {
        SendScintilla(SCI_STYLESETFORE, s.style, s.color);
        // Code that #if leaves out is coloured the same.
        SendScintilla(SCI_STYLESETFORE, s.style + 64, s.color);
    }
}

void TCustomizedMemo::applyMarginColours(const SyntaxPalette& p)
{
    SendScintilla(SCI_STYLESETFORE, STYLE_LINENUMBER, p.lineNumber);
    SendScintilla(SCI_STYLESETBACK, STYLE_LINENUMBER, p.lineNumberBack);
    SendScintilla(SCI_STYLESETFORE, STYLE_BRACELIGHT, p.braceMatchText);
    SendScintilla(SCI_STYLESETBACK, STYLE_BRACELIGHT, p.braceMatchBack);
    SendScintilla(SCI_STYLESETBOLD, STYLE_BRACELIGHT, 1L);
    SendScintilla(SCI_STYLESETFORE, STYLE_BRACEBAD, p.braceBadText);
    SendScintilla(SCI_STYLESETBOLD, STYLE_BRACEBAD, 1L);
    for (const MarkKind kind : {MarkKind::Error, MarkKind::Warning}) {
        const QColor mark = kind == MarkKind::Error ? p.errorMark : p.warningMark;
        setMarkerBackgroundColor(mark, marker_[int(kind)]);
        setMarkerForegroundColor(mark, marker_[int(kind)]);
        setIndicatorForegroundColor(mark, indicator_[int(kind)]);
    }
    // The full-width space is a blank: a box drawn round it, lightly filled.
    QColor fill = p.warningMark;
    fill.setAlpha(60);
    setIndicatorForegroundColor(fill, fullWidthBox_);
    setIndicatorOutlineColor(p.warningMark, fullWidthBox_);
    setIndicatorForegroundColor(p.warningMark, fullWidthUnderline_);
    setMarkerBackgroundColor(p.errorMark, breakpointMarker_);
    setMarkerForegroundColor(p.lineNumberBack, breakpointMarker_);
    setMarkerBackgroundColor(p.warningMark, stopArrow_);
    setMarkerForegroundColor(p.lineNumber, stopArrow_);
    setMarkerBackgroundColor(p.stopLineBack, stopLine_);
    // The last stop's marks while the program runs on: the same, without colour.
    const QColor back = p.stopLineBack;
    setMarkerBackgroundColor(p.lineNumber, staleArrow_);
    setMarkerForegroundColor(p.lineNumberBack, staleArrow_);
    setMarkerBackgroundColor(QColor::fromHsvF(back.hsvHueF(), 0, back.valueF()), staleLine_);
    setMarginsBackgroundColor(p.lineNumberBack);
    setMarginsForegroundColor(p.lineNumber);
    marginDigits_ = 0;
    updateMarginWidth();
}

void TCustomizedMemo::applyExplanationColours(const SyntaxPalette& p)
{
    // The page's font comes with the clearing of every style to the page's own.
    const QColor colours[] = {p.errorNote, p.warningNote};
    for (int i = 0; i < 2; ++i) {
        const long style = explanationStyle_ + i;
        SendScintilla(SCI_STYLESETFORE, style, colours[i]);
        SendScintilla(SCI_STYLESETBACK, style, p.noteBack);
    }
}

void TCustomizedMemo::updateMarginWidth()
{
    // The marks' margin stays while line numbers show, so the text does not
    // move as builds come and go; without numbers it shows only with marks.
    // A breakpoint's dot and the stop's arrow want room to be seen.
    setMarginWidth(1, hasDebugMarks_ ? QStringLiteral("00") : lineNumbers_ || hasMarks_ ? QStringLiteral("0") : QString());
    if (!lineNumbers_) {
        setMarginWidth(0, 0);
    } else {
        // Sized in zeros for the largest number, so it does not change as one scrolls.
        const int digits = int(QString::number(std::max(1, lines())).size());
        if (digits != marginDigits_) {
            marginDigits_ = digits;
            setMarginWidth(0, QString(digits + 1, u'0'));
        }
    }
    followTextWidth();
}

void TCustomizedMemo::addMark(MarkKind kind, int line, int index)
{
    const long lineIndex = line - 1;
    if (lineIndex < 0 || lineIndex >= SendScintilla(SCI_GETLINECOUNT))
        return;
    // The margin shows one mark a line, its most severe message's; the
    // underlines are each message's.
    const long onLine = SendScintilla(SCI_MARKERGET, lineIndex);
    if (kind == MarkKind::Error)
        SendScintilla(SCI_MARKERDELETE, lineIndex, long(marker_[int(MarkKind::Warning)]));
    if (kind == MarkKind::Error || !(onLine & (1L << marker_[int(MarkKind::Error)])))
        SendScintilla(SCI_MARKERADD, lineIndex, long(marker_[int(kind)]));
    if (!hasMarks_) {
        hasMarks_ = true;
        updateMarginWidth();
    }
    if (index < 0)
        return;
    const long lineStart = SendScintilla(SCI_POSITIONFROMLINE, lineIndex);
    const long lineEnd = SendScintilla(SCI_GETLINEENDPOSITION, lineIndex);
    const long from = std::min(long(toByte(toChar(int(lineStart)) + index)), lineEnd);
    // The word the column points into; at least one letter (or the line's last).
    long to = SendScintilla(SCI_WORDENDPOSITION, from, 1L);
    if (to <= from)
        to = SendScintilla(SCI_POSITIONAFTER, from);
    long start = from;
    if (start >= lineEnd && lineEnd > lineStart)
        start = SendScintilla(SCI_POSITIONBEFORE, lineEnd);
    to = std::min(std::max(to, start), lineEnd);
    if (to <= start)
        return;
    SendScintilla(SCI_SETINDICATORCURRENT, long(indicator_[int(kind)]));
    SendScintilla(SCI_INDICATORFILLRANGE, start, to - start);
}

void TCustomizedMemo::addExplanation(MarkKind kind, int line, const QString& text)
{
    const long lineIndex = line - 1;
    if (lineIndex < 0 || lineIndex >= SendScintilla(SCI_GETLINECOUNT) || text.isEmpty())
        return;
    const QString before = explanation(line);
    // One style for the whole explanation: the first kind put on the line.
    const long style = before.isEmpty() ? long(kind) : SendScintilla(SCI_ANNOTATIONGETSTYLE, lineIndex);
    const QString wrapped = wrapExplanation(text, int(style), int(lineIndex));
    const QByteArray bytes = (before.isEmpty() ? wrapped : before + u'\n' + wrapped).toUtf8();
    SendScintilla(SCI_ANNOTATIONSETTEXT, lineIndex, bytes.constData());
    SendScintilla(SCI_ANNOTATIONSETSTYLE, lineIndex, style);
    if (before.isEmpty())
        SendScintilla(SCI_MARKERADD, lineIndex, long(explainedMarker_));
    hasExplanations_ = true;
}

int TCustomizedMemo::explanationRowsAbove(int line) const
{
    if (!hasExplanations_)
        return 0;
    // The marked lines are the few explained ones: no walk over a large page.
    int rows = 0;
    const long mask = 1L << explainedMarker_;
    for (long at = SendScintilla(SCI_MARKERNEXT, 0L, mask); at >= 0 && at < line - 1;
         at = SendScintilla(SCI_MARKERNEXT, at + 1, mask))
        rows += int(SendScintilla(SCI_ANNOTATIONGETLINES, at));
    return rows;
}

QString TCustomizedMemo::wrapExplanation(const QString& text, int style, int lineIndex) const
{
    // The component does not wrap what it shows under a line: each sentence
    // starts a line, and a line longer than the page is broken where it fills it.
    int width = viewport()->width() - 8;
    for (int margin = 0; margin < 3; ++margin)
        width -= int(SendScintilla(SCI_GETMARGINWIDTHN, margin));
    const QByteArray space(1, ' ');
    width -= int(SendScintilla(SCI_GETLINEINDENTATION, long(lineIndex)) *
                 SendScintilla(SCI_TEXTWIDTH, long(explanationStyle_ + style), space.constData()));
    // Measured a character at a time, so a long name costs no more than its length.
    const long styleNumber = explanationStyle_ + style;
    QString out, row;
    int rowWidth = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size();
        const QString c = text.mid(i, pair ? 2 : 1);
        i += pair ? 1 : 0;
        const int w = int(SendScintilla(SCI_TEXTWIDTH, styleNumber, c.toUtf8().constData()));
        if (!row.isEmpty() && rowWidth + w > width) {
            out += row.trimmed() + u'\n';
            row.clear();
            rowWidth = 0;
        }
        row += c;
        rowWidth += w;
        if (c == u'。' && i + 1 < text.size()) {
            out += row.trimmed() + u'\n';
            row.clear();
            rowWidth = 0;
        }
    }
    return out + row.trimmed();
}

QString TCustomizedMemo::explanation(int line) const
{
    if (!hasExplanations_ || line < 1)
        return QString();
    const long length = SendScintilla(SCI_ANNOTATIONGETTEXT, long(line - 1), static_cast<const char*>(nullptr));
    QByteArray bytes(length, '\0');
    if (length > 0)
        SendScintilla(SCI_ANNOTATIONGETTEXT, long(line - 1), bytes.data());
    return QString::fromUtf8(bytes);
}

void TCustomizedMemo::forgetEditedExplanation(int position)
{
    // An edited line may no longer be what was explained.
    if (!hasExplanations_ || Loading)
        return;
    const long line = SendScintilla(SCI_LINEFROMPOSITION, long(position));
    if (SendScintilla(SCI_ANNOTATIONGETLINES, line) > 0) {
        SendScintilla(SCI_ANNOTATIONSETTEXT, line, static_cast<const char*>(nullptr));
        SendScintilla(SCI_MARKERDELETE, line, long(explainedMarker_));
    }
}

void TCustomizedMemo::clearMarks()
{
    if (hasExplanations_) {
        hasExplanations_ = false;
        SendScintilla(SCI_ANNOTATIONCLEARALL);
        SendScintilla(SCI_MARKERDELETEALL, long(explainedMarker_));
    }
    if (!hasMarks_)
        return;
    hasMarks_ = false;
    const long length = SendScintilla(SCI_GETLENGTH);
    for (const MarkKind kind : {MarkKind::Error, MarkKind::Warning}) {
        SendScintilla(SCI_MARKERDELETEALL, long(marker_[int(kind)]));
        SendScintilla(SCI_SETINDICATORCURRENT, long(indicator_[int(kind)]));
        SendScintilla(SCI_INDICATORCLEARRANGE, 0L, length);
    }
    updateMarginWidth();
}

void TCustomizedMemo::toggleBreakpoint(int line)
{
    const long lineIndex = line - 1;
    if (lineIndex < 0 || lineIndex >= SendScintilla(SCI_GETLINECOUNT))
        return;
    const bool on = !(SendScintilla(SCI_MARKERGET, lineIndex) & (1L << breakpointMarker_));
    if (on)
        SendScintilla(SCI_MARKERADD, lineIndex, long(breakpointMarker_));
    else
        SendScintilla(SCI_MARKERDELETE, lineIndex, long(breakpointMarker_));
    updateDebugMarks();
    emit breakpointToggled(line, on);
}

QList<int> TCustomizedMemo::breakpointLines() const
{
    QList<int> lines;
    const long mask = 1L << breakpointMarker_;
    for (long line = SendScintilla(SCI_MARKERNEXT, 0L, mask); line >= 0;
         line = SendScintilla(SCI_MARKERNEXT, line + 1, mask))
        lines.append(int(line) + 1);
    return lines;
}

void TCustomizedMemo::setStoppedLine(int line, bool stale)
{
    for (const int marker : {stopArrow_, stopLine_, staleArrow_, staleLine_})
        SendScintilla(SCI_MARKERDELETEALL, long(marker));
    const long lineIndex = line - 1;
    if (lineIndex >= 0 && lineIndex < SendScintilla(SCI_GETLINECOUNT)) {
        SendScintilla(SCI_MARKERADD, lineIndex, long(stale ? staleArrow_ : stopArrow_));
        SendScintilla(SCI_MARKERADD, lineIndex, long(stale ? staleLine_ : stopLine_));
    }
    updateDebugMarks();
}

int TCustomizedMemo::stoppedLine() const
{
    return int(SendScintilla(SCI_MARKERNEXT, 0L, (1L << stopArrow_) | (1L << staleArrow_))) + 1;
}

bool TCustomizedMemo::stoppedLineStale() const
{
    return SendScintilla(SCI_MARKERNEXT, 0L, 1L << staleArrow_) >= 0;
}

void TCustomizedMemo::updateDebugMarks()
{
    const long mask = (1L << breakpointMarker_) | (1L << stopArrow_) | (1L << staleArrow_);
    const bool has = SendScintilla(SCI_MARKERNEXT, 0L, mask) >= 0;
    if (has != hasDebugMarks_) {
        hasDebugMarks_ = has;
        updateMarginWidth();
    }
}

QList<int> TCustomizedMemo::markedLines(MarkKind kind) const
{
    QList<int> lines;
    const long mask = 1L << marker_[int(kind)];
    for (long line = SendScintilla(SCI_MARKERNEXT, 0L, mask); line >= 0;
         line = SendScintilla(SCI_MARKERNEXT, line + 1, mask))
        lines.append(int(line) + 1);
    return lines;
}

QList<std::pair<int, int>> TCustomizedMemo::underlines(MarkKind kind) const
{
    return rangesOf(indicator_[int(kind)]);
}

QList<std::pair<int, int>> TCustomizedMemo::rangesOf(int indicatorNumber) const
{
    QList<std::pair<int, int>> ranges;
    const long indicator = indicatorNumber;
    const long length = SendScintilla(SCI_GETLENGTH);
    for (long pos = 0; pos < length;) {
        const long end = SendScintilla(SCI_INDICATOREND, indicator, pos);
        if (SendScintilla(SCI_INDICATORVALUEAT, indicator, pos) != 0)
            ranges.append({toChar(int(pos)), toChar(int(end))});
        if (end <= pos)
            break;
        pos = end;
    }
    return ranges;
}

QList<std::pair<int, int>> TCustomizedMemo::fullWidthMarks() const
{
    QList<std::pair<int, int>> ranges = rangesOf(fullWidthBox_) + rangesOf(fullWidthUnderline_);
    std::sort(ranges.begin(), ranges.end());
    return ranges;
}

QString TCustomizedMemo::fullWidthNote(int pos) const
{
    const long byte = toByte(pos);
    if (pos < 0 || byte >= SendScintilla(SCI_GETLENGTH))
        return QString();
    if (SendScintilla(SCI_INDICATORVALUEAT, long(fullWidthBox_), byte) == 0 &&
        SendScintilla(SCI_INDICATORVALUEAT, long(fullWidthUnderline_), byte) == 0)
        return QString();
    return fullWidthNotes().value(textRange(pos, pos + 1).toUcs4().value(0));
}

void TCustomizedMemo::noteEdit(int position, int type, int length)
{
    if (!(type & (SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT)))
        return;
    // An edit may change how its line and every line below are styled: they
    // are checked again as the lexer styles them anew.
    const long at = position;
    const int line = int(SendScintilla(SCI_LINEFROMPOSITION, at));
    const long lineStart = SendScintilla(SCI_POSITIONFROMLINE, long(line));
    checkedTo_ = std::min(checkedTo_, lineStart);
    const bool inserted = type & SC_MOD_INSERTTEXT;
    // Text put in, or two lines joined, may make a line too long to fit.
    // Much text put in is looked through in the background, as a page opened is.
    if (wrapCheckLine_ >= 0) {
        wrapCheckLine_ = std::min(wrapCheckLine_, line);
    } else if (SendScintilla(SCI_GETWRAPMODE) == SC_WRAP_NONE) {
        const long end =
            SendScintilla(SCI_GETLINEENDPOSITION, SendScintilla(SCI_LINEFROMPOSITION, inserted ? at + length : at));
        if (end - lineStart > WrapCheckStepBytes) {
            wrapCheckLine_ = line;
            wrapTimer_->start(0);
        } else if (mayNotFit(lineStart, end)) {
            setWrapping(true);
        }
    }
    if (editedTo_ >= at)
        editedTo_ = inserted ? editedTo_ + length : std::max(at, editedTo_ - length);
    editedTo_ = std::max(editedTo_, at + (inserted ? length : 0));
    if (lexerActive_ && !checkTimer_->isActive())
        checkTimer_->start(0);
}

void TCustomizedMemo::checkEdited()
{
    const long edited = std::min(editedTo_, long(SendScintilla(SCI_GETLENGTH)));
    editedTo_ = -1;
    if (!lexerActive_)
        return;
    if (edited < 0) {
        checkStyled();
        return;
    }
    // The edited lines are styled now, so a character typed is marked at once;
    // a large change (a page put in) is left to painting, which styles what shows.
    // Through the line's end, so that the line counts as coloured.
    const long next = SendScintilla(SCI_LINEFROMPOSITION, edited) + 1;
    const long to = next < SendScintilla(SCI_GETLINECOUNT) ? SendScintilla(SCI_POSITIONFROMLINE, next)
                                                           : SendScintilla(SCI_GETLENGTH);
    const long styled = SendScintilla(SCI_GETENDSTYLED);
    if (styled < to && to - styled <= SmallPageBytes) {
        const long from = SendScintilla(SCI_POSITIONFROMLINE, SendScintilla(SCI_LINEFROMPOSITION, styled));
        SendScintilla(SCI_COLOURISE, from, to);
    }
    checkStyled();
}

void TCustomizedMemo::checkStyled()
{
    if (!lexerActive_)
        return;
    const long length = SendScintilla(SCI_GETLENGTH);
    long styled = SendScintilla(SCI_GETENDSTYLED);
    // Text put in is coloured to its end in the background, by the wrapping or,
    // when the page is not wrapped, here a step at a time.
    if (colourWhole_ && styled < length && SendScintilla(SCI_GETWRAPMODE) == SC_WRAP_NONE) {
        const long from = SendScintilla(SCI_POSITIONFROMLINE, SendScintilla(SCI_LINEFROMPOSITION, styled));
        SendScintilla(SCI_COLOURISE, from, std::min(length, from + ColourStepBytes));
        styled = SendScintilla(SCI_GETENDSTYLED);
        if (styled < length)
            checkTimer_->start(0);
    }
    colourWhole_ = colourWhole_ && styled < length;
    // Whole lines only: the lexer may have stopped inside one.
    long to = styled >= length ? length
                               : SendScintilla(SCI_POSITIONFROMLINE, SendScintilla(SCI_LINEFROMPOSITION, styled));
    if (to <= checkedTo_) {
        followColouring(styled < length && ++idleChecks_ < FollowIdleChecks);
        return;
    }
    idleChecks_ = 0;
    if (to - checkedTo_ > FullWidthStepBytes) {
        // The rest in another step, so no key waits on the whole page.
        const long stepEnd = SendScintilla(SCI_POSITIONFROMLINE,
                                           SendScintilla(SCI_LINEFROMPOSITION, checkedTo_ + FullWidthStepBytes));
        if (stepEnd > checkedTo_)
            to = stepEnd;
        checkTimer_->start(0);
    }
    markFullWidth(checkedTo_, to);
    checkedTo_ = to;
    followColouring(styled < length);
}

void TCustomizedMemo::followColouring(bool on)
{
    // The background work colours a large page without painting it: the marks
    // are not left waiting for the next paint.
    if (on && !checkTimer_->isActive())
        checkTimer_->start(FollowColouringMs);
    if (!on)
        idleChecks_ = 0;
}

void TCustomizedMemo::markFullWidth(long from, long to)
{
    for (const int indicator : {fullWidthBox_, fullWidthUnderline_}) {
        SendScintilla(SCI_SETINDICATORCURRENT, long(indicator));
        SendScintilla(SCI_INDICATORCLEARRANGE, from, to - from);
    }
    // A copy: a pointer into the page would move the gap the component keeps
    // at the caret, and the next key would move it back.
    QByteArray bytes(to - from + 1, '\0');
    SendScintilla(SCI_GETTEXTRANGE, from, to, bytes.data());
    const auto* text = reinterpret_cast<const unsigned char*>(bytes.constData());
    const long n = to - from;
    const QHash<char32_t, QString>& notes = fullWidthNotes();
    // Every character of the table is three bytes in UTF-8, led by E2, E3 or EF.
    for (long i = 0; i + 2 < n; ++i) {
        const unsigned char lead = text[i];
        if ((lead != 0xE2 && lead != 0xE3 && lead != 0xEF) || (text[i + 1] & 0xC0) != 0x80 ||
            (text[i + 2] & 0xC0) != 0x80)
            continue;
        const char32_t c = char32_t(lead & 0x0F) << 12 | char32_t(text[i + 1] & 0x3F) << 6 | (text[i + 2] & 0x3F);
        if (!notes.contains(c))
            continue;
        // Code that #if leaves out (styles from 64) is not compiled either.
        const int style = int(SendScintilla(SCI_GETSTYLEAT, from + i));
        if (style < 64 && !isTextStyle(style)) {
            SendScintilla(SCI_SETINDICATORCURRENT, long(c == 0x3000 ? fullWidthBox_ : fullWidthUnderline_));
            SendScintilla(SCI_INDICATORFILLRANGE, from + i, 3L);
        }
        i += 2;
    }
}

void TCustomizedMemo::showFullWidthNote(int position, int x, int y)
{
    if (position < 0)
        return;
    const QString note = fullWidthNote(toChar(position));
    if (!note.isEmpty())
        QToolTip::showText(viewport()->mapToGlobal(QPoint(x, y)), note, viewport());
}

void TCustomizedMemo::applyTabWidth(int n)
{
    // The component counts stops in widths of a space, which in the page's
    // fixed-pitch font is the width of every letter.
    SendScintilla(SCI_SETTABWIDTH, std::max(n, 1));
    TabWidth = n;
    widths_.reset();
    checkWrapping();
    viewport()->update();
}

qreal TCustomizedMemo::tabStopDistance() const
{
    return qreal(SendScintilla(SCI_GETTABWIDTH)) *
           qreal(SendScintilla(SCI_TEXTWIDTH, STYLE_DEFAULT, " "));
}

void TCustomizedMemo::releaseKeys(const QList<QKeySequence>& keys)
{
    for (QsciCommand* command : standardCommands()->commands()) {
        for (const QKeySequence& key : keys) {
            if (key.isEmpty())
                continue;
            const int k = key[0].toCombined();
            if (command->key() == k)
                command->setKey(0);
            if (command->alternateKey() == k)
                command->setAlternateKey(0);
        }
    }
}

bool TCustomizedMemo::event(QEvent* e)
{
    if (e->type() == QEvent::ShortcutOverride) {
        // The window's menu shortcuts (Ctrl+A, Ctrl+Del, ...) win over the editor's
        // own key bindings, as they do in the rest of the window.
        auto* key = static_cast<QKeyEvent*>(e);
        const QKeySequence pressed(key->keyCombination());
        if (QWidget* w = window()) {
            for (QAction* a : w->actions()) {
                if (a->shortcuts().contains(pressed)) {
                    e->ignore();
                    return true;
                }
            }
        }
    }
    return QsciScintilla::event(e);
}

void TCustomizedMemo::contextMenuEvent(QContextMenuEvent* e)
{
    if (PopupMenu)
        PopupMenu->exec(e->globalPos());
    else
        e->ignore();
}

void TCustomizedMemo::wheelEvent(QWheelEvent* e)
{
    if (e->modifiers() & Qt::ControlModifier) {
        // Every page keeps one size: the window steps all fonts, never the
        // component's own zoom of this page.
        wheelSteps_ += e->angleDelta().y();
        while (wheelSteps_ >= 120) {
            wheelSteps_ -= 120;
            emit fontStepRequested(+1);
        }
        while (wheelSteps_ <= -120) {
            wheelSteps_ += 120;
            emit fontStepRequested(-1);
        }
        e->accept();
        return;
    }
    QsciScintilla::wheelEvent(e);
}

void TCustomizedMemo::focusInEvent(QFocusEvent* e)
{
    QsciScintilla::focusInEvent(e);
    const Qt::FocusReason reason = e->reason();
    if (depth_ == 0 && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
        emit entered();
}

void TCustomizedMemo::keyPressEvent(QKeyEvent* e)
{
    emit keyDown();
    QsciScintilla::keyPressEvent(e);
}

void TCustomizedMemo::keyReleaseEvent(QKeyEvent* e)
{
    QsciScintilla::keyReleaseEvent(e);
    emit keyUp();
}

void TCustomizedMemo::mousePressEvent(QMouseEvent* e)
{
    QsciScintilla::mousePressEvent(e);
    emit mouseDown();
}

void TCustomizedMemo::resizeEvent(QResizeEvent* e)
{
    QsciScintilla::resizeEvent(e);
    followTextWidth();
}

// The width a line may take without wrapping, less room for the caret after
// its last character.
double TCustomizedMemo::fitWidth() const
{
    long margins = SendScintilla(SCI_GETMARGINLEFT) + SendScintilla(SCI_GETMARGINRIGHT);
    for (long m = 0, n = SendScintilla(SCI_GETMARGINS); m < n; ++m)
        margins += SendScintilla(SCI_GETMARGINWIDTHN, m);
    return double(viewport()->width() - margins - 4);
}

LineWidthBound& TCustomizedMemo::lineWidths()
{
    if (!widths_) {
        // The font the component draws the page in, bold as well.
        const QFont page = QWidget::font();
        QFont drawn(QFontInfo(page).family());
        drawn.setPointSizeF(double(SendScintilla(SCI_STYLEGETSIZEFRACTIONAL, STYLE_DEFAULT)) / double(SC_FONT_SIZE_MULTIPLIER));
        drawn.setWeight(page.weight());
        drawn.setItalic(page.italic());
        QFont bold = drawn;
        bold.setBold(true);
        const QFontMetricsF regular(drawn, viewport());
        const QFontMetricsF heavy(bold, viewport());
        auto measure = [regular, heavy](char32_t c) {
            const QString s = QString::fromUcs4(&c, 1);
            return std::max(regular.horizontalAdvance(s), heavy.horizontalAdvance(s));
        };
        const double space = measure(U' ');
        const double letter = measure(U'W');
        widths_ = std::make_unique<LineWidthBound>(measure, space * double(std::max(1L, long(SendScintilla(SCI_GETTABWIDTH)))),
                                                   4 * letter + 8);
    }
    return *widths_;
}

// Whether a line of bytes from..to (whole lines) may be too wide to fit.
bool TCustomizedMemo::mayNotFit(long from, long to)
{
    if (to <= from)
        return false;
    QByteArray bytes(to - from + 1, '\0');
    SendScintilla(SCI_GETTEXTRANGE, from, to, bytes.data());
    return lineWidths().firstTooWide({bytes.constData(), size_t(to - from)}, fitWidth()) != std::string_view::npos;
}

void TCustomizedMemo::setWrapping(bool on)
{
    if (on)
        wrapCheckLine_ = -1;
    const long mode = on ? SC_WRAP_WORD : SC_WRAP_NONE;
    if (SendScintilla(SCI_GETWRAPMODE) != mode)
        SendScintilla(SCI_SETWRAPMODE, mode);
}

// Looks through the page for a line that may not fit: the first step at once,
// so the page shows right, the rest of a large page in the background.
void TCustomizedMemo::checkWrapping()
{
    checkedWidth_ = fitWidth();
    wrapCheckLine_ = 0;
    checkWrappingStep();
}

void TCustomizedMemo::checkWrappingStep()
{
    if (wrapCheckLine_ < 0)
        return;
    const long length = SendScintilla(SCI_GETLENGTH);
    const long from = SendScintilla(SCI_POSITIONFROMLINE, long(wrapCheckLine_));
    const long last = SendScintilla(SCI_LINEFROMPOSITION, std::min(length, from + WrapCheckStepBytes));
    const long to = SendScintilla(SCI_GETLINEENDPOSITION, last);
    if (mayNotFit(from, to)) {
        setWrapping(true);
        return;
    }
    if (to >= length) {
        wrapCheckLine_ = -1;
        setWrapping(false);
        return;
    }
    wrapCheckLine_ = int(last) + 1;
    wrapTimer_->start(0);
}

// A wider or narrower text area may change whether the page has a line to wrap.
void TCustomizedMemo::followTextWidth()
{
    if (fitWidth() != checkedWidth_)
        checkWrapping();
}

}  // namespace nollex
