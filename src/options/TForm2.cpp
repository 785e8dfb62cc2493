#include "TForm2.h"

namespace nollex {

TForm2::TForm2(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Configuration"));
}

}  // namespace nollex
