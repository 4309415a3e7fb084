#include "wui/IpAddressCtrl.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace NsOvrin::NsWui {

namespace {

// Up to three digits worth at most 255; a text that would exceed it cannot
// be typed.
const QRegularExpression& FieldPattern() {
  static const QRegularExpression pattern(QStringLiteral("^(|[01]?\\d?\\d|2[0-4]\\d|25[0-5])$"));
  return pattern;
}

}  // namespace

IpAddressCtrl::IpAddressCtrl(QWidget* parent) : QWidget(parent) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  auto* validator = new QRegularExpressionValidator(FieldPattern(), this);
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    auto* field = new QLineEdit(this);
    field->setValidator(validator);
    field->setAlignment(Qt::AlignCenter);
    field->setMaxLength(3);
    field->installEventFilter(this);
    fields_[i] = field;
    if (i != 0) row->addWidget(new QLabel(QStringLiteral("."), this));
    row->addWidget(field);
  }
  setFocusProxy(fields_[0]);
}

bool IpAddressCtrl::IsBlank() const {
  for (const QLineEdit* field : fields_) {
    if (!field->text().isEmpty()) return false;
  }
  return true;
}

uint32_t IpAddressCtrl::GetAddress() const {
  uint32_t address = 0;
  for (const QLineEdit* field : fields_) {
    // The validator keeps every field within 0-255; an empty one is 0.
    const uint32_t value = field->text().toUInt();
    address = (address << 8) | (value > 255 ? 255 : value);
  }
  return address;
}

void IpAddressCtrl::SetAddress(uint32_t address) {
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    const uint32_t value = (address >> (8 * (3 - i))) & 0xFF;
    fields_[i]->setText(QString::number(value));
  }
}

void IpAddressCtrl::ClearAddress() {
  for (QLineEdit* field : fields_) field->clear();
}

bool IpAddressCtrl::eventFilter(QObject* watched, QEvent* event) {
  // A dot typed into a field moves on to the next one, as the dotted form
  // is written.
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Period) {
      for (std::size_t i = 0; i + 1 < fields_.size(); ++i) {
        if (fields_[i] == watched) {
          fields_[i + 1]->setFocus();
          fields_[i + 1]->selectAll();
          break;
        }
      }
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace NsOvrin::NsWui
