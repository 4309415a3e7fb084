#include "wui/QtUiServices.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QToolTip>
#include <QTranslator>
#include <QWidget>

namespace NsOvrin::NsWui {

namespace {

QString ToQ(const std::string& text) {
  // Texts written for Windows break lines with CR LF.
  QString q = QString::fromStdString(text);
  q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return q;
}

QMessageBox::StandardButtons ButtonsOf(uint32_t type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return QMessageBox::Ok | QMessageBox::Cancel;
    case MB_ABORTRETRYIGNORE: return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case MB_YESNOCANCEL: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MB_YESNO: return QMessageBox::Yes | QMessageBox::No;
    case MB_RETRYCANCEL: return QMessageBox::Retry | QMessageBox::Cancel;
    default: return QMessageBox::Ok;
  }
}

QMessageBox::Icon IconOf(uint32_t type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONERROR: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONWARNING: return QMessageBox::Warning;
    case MB_ICONINFORMATION: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

int IdOf(int button, uint32_t type) {
  switch (button) {
    case QMessageBox::Ok: return IDOK;
    case QMessageBox::Cancel: return IDCANCEL;
    case QMessageBox::Abort: return IDABORT;
    case QMessageBox::Retry: return IDRETRY;
    case QMessageBox::Ignore: return IDIGNORE;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default:
      // Closed without a button: what Escape would have answered.
      return (type & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL;
  }
}

bool RunFileDialog(QFileDialog& dialog, const std::string& filter, std::string& path) {
  const QString qtFilter = QString::fromStdString(ToQtFileFilter(filter));
  if (!qtFilter.isEmpty()) dialog.setNameFilter(qtFilter);
  if (dialog.exec() != QDialog::Accepted) return false;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty() || files.front().isEmpty()) return false;
  path = files.front().toStdString();
  return true;
}

}  // namespace

int QtUiServices::MessageBox(QWidget* parent, const std::string& text, const std::string& caption,
                             uint32_t type) {
  QMessageBox box(IconOf(type), ToQ(caption), ToQ(text), ButtonsOf(type), parent);
  // The text is shown as written, never read as markup.
  box.setTextFormat(Qt::PlainText);
  return IdOf(box.exec(), type);
}

void QtUiServices::ShowBalloonTip(QWidget* widget, const std::string& title,
                                  const std::string& text) {
  if (!widget) return;
  QString html = QStringLiteral("<b>") + ToQ(title).toHtmlEscaped() + QStringLiteral("</b><br/>") +
                 ToQ(text).toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br/>"));
  const QPoint below(widget->width() / 2, widget->height());
  QToolTip::showText(widget->mapToGlobal(below), html, widget);
}

bool QtUiServices::GetOpenFileName(QWidget* parent, const std::string& filter,
                                   const std::string& initialPath, std::string& path) {
  QFileDialog dialog(parent, QString(), QString::fromStdString(initialPath));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  return RunFileDialog(dialog, filter, path);
}

bool QtUiServices::GetSaveFileName(QWidget* parent, const std::string& filter,
                                   const std::string& defaultExt, const std::string& initialPath,
                                   std::string& path) {
  QFileDialog dialog(parent, QString(), QString::fromStdString(initialPath));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(QString::fromStdString(defaultExt));
  return RunFileDialog(dialog, filter, path);
}

bool QtUiServices::BrowseForFolder(QWidget* parent, const std::string& title,
                                   const std::string& initialDir, std::string& dir) {
  QFileDialog dialog(parent, QString::fromStdString(title), QString::fromStdString(initialDir));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  return RunFileDialog(dialog, std::string(), dir);
}

bool QtUiServices::ChooseColor(QWidget* parent, uint32_t initial, uint32_t& colour) {
  QColorDialog dialog(ColorRefToQColor(initial), parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  const QColor chosen = dialog.selectedColor();
  if (!chosen.isValid()) return false;
  colour = QColorToColorRef(chosen);
  return true;
}

QColor ColorRefToQColor(uint32_t colour) {
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

uint32_t QColorToColorRef(const QColor& colour) {
  const QColor rgb = colour.toRgb();
  return static_cast<uint32_t>(rgb.red()) | (static_cast<uint32_t>(rgb.green()) << 8) |
         (static_cast<uint32_t>(rgb.blue()) << 16);
}

bool InstallQtChineseTranslations(QCoreApplication& app) {
  auto* translator = new QTranslator(&app);
  if (!translator->load(QStringLiteral("qtbase_zh_CN"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

}  // namespace NsOvrin::NsWui
