#include "QtDialogs.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QValidator>

namespace nollex {

QString qtFilterFromWindows(const QString& windowsFilter)
{
    const QStringList parts = windowsFilter.split(u'|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        out << parts[i] + QStringLiteral(" (") + patterns + u')';
    }
    return out.join(QStringLiteral(";;"));
}

int codePageWidth(QStringView text)
{
    int width = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isLowSurrogate(c))
            continue;  // the pair was counted at its high half
        width += (c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F)) ? 1 : 2;
    }
    return width;
}

MsgAnswer QtDialogs::message(const QString& caption, const QString& text, MsgButtons buttons,
                             MsgIcon icon)
{
    QMessageBox box(parent_);
    box.setWindowTitle(caption);
    box.setText(text);
    box.setIcon(icon == MsgIcon::Error         ? QMessageBox::Critical
                : icon == MsgIcon::Information ? QMessageBox::Information
                                               : QMessageBox::NoIcon);
    switch (buttons) {
    case MsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    case QMessageBox::Cancel: return MsgAnswer::Cancel;
    default: return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
    }
}

QStringList QtDialogs::openFiles(const OpenFileRequest& request)
{
    QFileDialog dialog(parent_, QString(), request.directory, qtFilterFromWindows(request.filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    // The descriptions already name their patterns: show each as written, once.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

std::optional<QString> QtDialogs::saveFile(const SaveFileRequest& request)
{
    QFileDialog dialog(parent_, QString(), request.directory, qtFilterFromWindows(request.filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The user is not asked before an existing file is replaced.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    if (!request.presetName.isEmpty()) {
        const QFileInfo preset(request.presetName);
        if (preset.isAbsolute())
            dialog.setDirectory(preset.absolutePath());
        dialog.selectFile(preset.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QColor> QtDialogs::color(const QColor& initial)
{
    QColorDialog dialog(initial, parent_);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedColor();
}

namespace {

QIcon colorSwatch(const QColor& color)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::gray);  // a frame, so that white shows on a light button
    QPainter p(&pm);
    p.fillRect(1, 1, 14, 14, color);
    return QIcon(pm);
}

}  // namespace

std::optional<FontChoice> QtDialogs::font(const FontChoice& initial,
                                          const std::function<void(const FontChoice&)>& apply)
{
    // The dialog works in points; a font given in pixels is shown at its point size.
    QFont start = initial.font;
    if (start.pointSizeF() <= 0 && start.pixelSize() > 0) {
        const qreal dpi = parent_ ? parent_->logicalDpiY() : 96.0;
        start.setPointSizeF(start.pixelSize() * 72.0 / dpi);
    }
    // A family this machine lacks is shown as the one that stands in for it.
    if (!QFontDatabase::families().contains(start.family()))
        start.setFamily(QFontInfo(start).family());
    QFontDialog dialog(start, parent_);
    dialog.setOption(QFontDialog::DontUseNativeDialog, true);
    QColor color = initial.color.isValid() ? initial.color : QColor(Qt::black);

    // Qt's font dialog has no colour of its own: a button beside OK chooses it,
    // and the sample line shows it.
    auto* sample = dialog.findChild<QLineEdit*>(QStringLiteral("qt_fontDialog_sampleEdit"));
    auto showColor = [&](QPushButton* button) {
        button->setIcon(colorSwatch(color));
        if (sample) {
            QPalette p = sample->palette();
            p.setColor(QPalette::Text, color);
            p.setColor(QPalette::Base, color.lightness() > 128 ? QColor(Qt::black) : QColor(Qt::white));
            sample->setPalette(p);
        }
    };
    if (auto* box = dialog.findChild<QDialogButtonBox*>()) {
        QPushButton* colorButton =
            box->addButton(QStringLiteral("文字色(Color)..."), QDialogButtonBox::ActionRole);
        showColor(colorButton);
        QObject::connect(colorButton, &QPushButton::clicked, &dialog, [&, colorButton] {
            QColorDialog picker(color, &dialog);
            if (picker.exec() == QDialog::Accepted) {
                color = picker.selectedColor();
                showColor(colorButton);
            }
        });
        QPushButton* applyButton = box->addButton(QDialogButtonBox::Apply);
        QObject::connect(applyButton, &QPushButton::clicked, &dialog, [&] {
            if (apply)
                apply(FontChoice{dialog.currentFont(), color});
        });
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return FontChoice{dialog.selectedFont(), color};
}

namespace {
// Keeps the input within the byte budget of the system's code page.
class ByteBudgetValidator : public QValidator {
public:
    ByteBudgetValidator(int maxBytes, QObject* parent) : QValidator(parent), max_(maxBytes) {}
    State validate(QString& input, int&) const override
    {
        return codePageWidth(input) <= max_ ? Acceptable : Invalid;
    }

private:
    int max_;
};
}  // namespace

std::optional<QString> QtDialogs::input(const InputRequest& request)
{
    QInputDialog dialog;  // no owner: centred on the screen
    dialog.setWindowTitle(request.caption);
    dialog.setLabelText(request.prompt);
    dialog.setTextValue(request.preset);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("キャンセル"));
    if (auto* edit = dialog.findChild<QLineEdit*>()) {
        edit->setValidator(new ByteBudgetValidator(request.maxBytes, edit));
        edit->selectAll();
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

std::optional<SampleCaseText> QtDialogs::sampleCase(const QString& inputPreset)
{
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Add Sample（ケース追加）"));
    auto* layout = new QGridLayout(&dialog);
    auto* input = new QPlainTextEdit(inputPreset, &dialog);
    auto* expected = new QPlainTextEdit(&dialog);
    for (QPlainTextEdit* box : {input, expected}) {
        box->setLineWrapMode(QPlainTextEdit::NoWrap);
        box->setTabChangesFocus(true);
    }
    layout->addWidget(new QLabel(QStringLiteral("入力"), &dialog), 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("期待する出力"), &dialog), 0, 1);
    layout->addWidget(input, 1, 0);
    layout->addWidget(expected, 1, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons, 2, 0, 1, 2);
    dialog.resize(640, 360);
    // The expected output is what is left to type: the input usually came from the clipboard.
    (inputPreset.isEmpty() ? input : expected)->setFocus();
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return SampleCaseText{input->toPlainText(), expected->toPlainText()};
}

}  // namespace nollex
