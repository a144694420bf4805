#include "ui/about_box.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <QVBoxLayout>

#include "app/app_texts.h"
#include "ui/kelvo_icons.h"
#include "ui/qt_text.h"

namespace kelvo {

namespace {

// Width of the corner of the picture that reveals the hidden one.
constexpr int kCorner = 5;

const char kLicence[] =
    "Лицензионное соглашение\n\n"
    "Программа Kelvo предоставляется для настройки модемов, с которыми работает пользователь. "
    "Пользователь вправе устанавливать программу на любое число своих компьютеров, "
    "пользоваться ею и передавать её другим вместе с этим соглашением.\n\n"
    "Библиотека модемов (файл kelvo.xml) принадлежит пользователю: он вправе изменять и "
    "распространять свои сценарии настройки. Сценарии, защищённые от изменения, поставляются "
    "в том виде, в каком их подготовил составитель библиотеки.\n\n"
    "Программа поставляется «как есть». Авторы не отвечают за ущерб, вызванный неверной "
    "настройкой модема, перерывами связи или потерей данных. Перед выполнением сценария "
    "убедитесь, что выбран нужный порт и что модем можно перенастраивать.";

QLabel* NamedLabel(const char* name, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setAlignment(Qt::AlignCenter);
  return label;
}

}  // namespace

TAboutBox::TAboutBox(QWidget* owner, std::function<std::string()> libraryVersion,
                     std::function<std::string()> libraryPath)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      Version(ProgramVersion()),
      FLibraryVersion(std::move(libraryVersion)),
      FLibraryPath(std::move(libraryPath)) {
  setObjectName("AboutBox");
  Image1 = NamedLabel("Image1", this);
  Image1->setPixmap(ProgramPicture());
  Image1->setFixedSize(Image1->pixmap().size());
  Image1->installEventFilter(this);
  HiddenPicture = NamedLabel("HiddenPicture", this);
  HiddenPicture->setPixmap(HiddenPicturePixmap());
  HiddenPicture->setFixedSize(HiddenPicture->pixmap().size());
  HiddenPicture->hide();
  CopyrightLabel = NamedLabel("CopyrightLabel", this);
  CopyrightLabel->setText(FromAnsi(Ansi("Программа инициализации модемов")));
  QFont bold = CopyrightLabel->font();
  bold.setBold(true);
  CopyrightLabel->setFont(bold);
  VersionLabel = NamedLabel("VersionLabel", this);
  VersionLabel->setText(FromAnsi("v " + VersionText(Version)));
  Label1 = NamedLabel("Label1", this);
  Label1->setText(FromAnsi(Ansi("Файл сценариев")));
  XmlVersionLabel = NamedLabel("XmlVersionLabel", this);
  LibraryPathLabel = NamedLabel("LibraryPathLabel", this);
  LibraryPathLabel->setWordWrap(true);
  LibraryPathLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  RichEdit1 = new QTextEdit(this);
  RichEdit1->setObjectName("RichEdit1");
  RichEdit1->setReadOnly(true);
  RichEdit1->setPlainText(FromAnsi(Ansi(kLicence)));
  RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  RichEdit1->setFixedHeight(130);
  OkButton = new QPushButton(FromAnsi(Ansi("Закрыть")), this);
  OkButton->setObjectName("OkButton");
  OkButton->setDefault(true);
  connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);

  auto* pictures = new QHBoxLayout;
  pictures->addStretch();
  pictures->addWidget(Image1);
  pictures->addWidget(HiddenPicture, 0, Qt::AlignBottom);
  pictures->addStretch();
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OkButton);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(pictures);
  for (QLabel* label : {CopyrightLabel, VersionLabel, Label1, XmlVersionLabel, LibraryPathLabel}) {
    layout->addWidget(label);
  }
  layout->addWidget(RichEdit1);
  layout->addLayout(buttons);
  setFixedWidth(380);
}

void TAboutBox::showEvent(QShowEvent* event) {
  XmlVersionLabel->setText(FromAnsi("v " + (FLibraryVersion ? FLibraryVersion() : std::string())));
  LibraryPathLabel->setText(QString::fromStdString(FLibraryPath ? FLibraryPath() : std::string()));
  setWindowTitle(FromAnsi(std::string(texts::kAppTitle) + Ansi(" - о программе")));
  HiddenPicture->hide();
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - QPoint(width() / 2, sizeHint().height() / 2));
  }
  QDialog::showEvent(event);
}

// Shift+Ctrl+left press within the 5 pixels nearest the picture's right and bottom edges.
bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Image1 && event->type() == QEvent::MouseButtonPress) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    QPoint at = mouse->position().toPoint();
    bool keys = (mouse->modifiers() & Qt::ShiftModifier) && (mouse->modifiers() & Qt::ControlModifier);
    if (mouse->button() == Qt::LeftButton && keys && at.x() > Image1->width() - kCorner &&
        at.y() > Image1->height() - kCorner) {
      HiddenPicture->show();
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace kelvo
