#include "ui/main_window/file_widgets.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

#include "ui/common/dialogs.h"

namespace {

// Rows of a fixed height, indented by their level.
class TRowDelegate : public QStyledItemDelegate {
 public:
  TRowDelegate(int rowHeight, int indent, QObject* parent)
      : QStyledItemDelegate(parent), RowHeight(rowHeight), Indent(indent) {}

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setWidth(size.width() + Level(index) * Indent);
    size.setHeight(RowHeight);
    return size;
  }

  // Drawn here rather than by the style: rows as low as the font itself
  // would lose the tops and the underscores of the names to centring.
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem item(option);
    initStyleOption(&item, index);
    item.rect.setLeft(option.rect.left() + Level(index) * Indent);
    const QWidget* widget = item.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &item, painter, widget);

    painter->save();
    painter->setClipRect(option.rect);
    int x = item.rect.left() + 2;
    if (!item.icon.isNull()) {
      const QSize icon = item.decorationSize;
      item.icon.paint(painter, QRect(QPoint(x, item.rect.top() + (item.rect.height() - icon.height()) / 2), icon));
      x += icon.width() + 3;
    }
    const bool selected = item.state & QStyle::State_Selected;
    painter->setPen(item.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(item.font);
    const QFontMetrics metrics(item.font);
    // Centred, but never so low that the descent is cut: what does not fit
    // is lost at the top, where the font keeps its spare room.
    const int centred = item.rect.top() + (item.rect.height() + metrics.ascent() - metrics.descent()) / 2;
    const int lowest = item.rect.bottom() + 1 - metrics.descent();
    painter->drawText(QPoint(x, std::min(centred, lowest)), item.text);
    if ((item.state & QStyle::State_HasFocus) && widget && widget->hasFocus()) {
      QStyleOptionFocusRect focus;
      focus.QStyleOption::operator=(item);
      focus.rect = item.rect;
      style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
    painter->restore();
  }

 private:
  static int Level(const QModelIndex& index) { return index.data(TDirectoryListBox::LevelRole).toInt(); }
  int RowHeight;
  int Indent;
};

enum class FolderIcon { Open, Current, Closed };

// Small folder glyphs drawn here, so that the three kinds always differ
// whatever icon theme the desktop has.
QIcon DrawFolderIcon(FolderIcon kind) {
  QPixmap pixmap(14, 12);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  const QColor body = kind == FolderIcon::Current ? QColor(250, 210, 60) : QColor(230, 190, 90);
  painter.setPen(QColor(120, 90, 20));
  painter.setBrush(body.darker(110));
  painter.drawRect(0, 1, 5, 2);  // tab
  painter.drawRect(0, 2, 12, 9);
  if (kind != FolderIcon::Closed) {
    // The lid of an open folder, tilted forward.
    QPolygon lid({QPoint(2, 5), QPoint(13, 5), QPoint(11, 11), QPoint(0, 11)});
    painter.setBrush(body);
    painter.drawPolygon(lid);
  }
  if (kind == FolderIcon::Current) {
    painter.setPen(QColor(30, 90, 200));
    painter.setBrush(QColor(30, 90, 200));
    painter.drawEllipse(QPoint(6, 8), 1, 1);
  }
  return QIcon(pixmap);
}

QString CleanPath(const QString& path) { return QDir::cleanPath(QDir(path).absolutePath()); }

QString RowText(const QString& path) {
  const QFileInfo info(path);
  if (QDir(path).isRoot()) return QDir::toNativeSeparators(path);
  return info.fileName();
}

bool CanEnter(const QString& path) {
  const QFileInfo info(path);
  return info.exists() && info.isDir() && info.isReadable() && info.isExecutable();
}

QString FolderMessage(const QString& path) {
  return QStringLiteral("The folder \"%1\" can not be opened!").arg(QDir::toNativeSeparators(path));
}

}  // namespace

bool SameDirectory(const QString& a, const QString& b) {
  const QFileInfo first(a);
  const QFileInfo second(b);
  if (first.exists() && second.exists()) return first == second;  // canonical paths, platform case rules
  return CleanPath(a) == CleanPath(b);
}

TDriveComboBox::TDriveComboBox(QWidget* parent) : QComboBox(parent) {
  setFocusPolicy(Qt::ClickFocus);
  const QIcon driveIcon = style()->standardIcon(QStyle::SP_DriveHDIcon);
  for (const QFileInfo& drive : QDir::drives()) {
    const QString path = drive.absoluteFilePath();
    addItem(driveIcon, QDir::toNativeSeparators(path), path);
  }
  connect(this, &QComboBox::activated, this, [this](int index) {
    const QString drive = itemData(index).toString();
    // A drive's current directory: the process's one when it lies on that
    // drive, otherwise the drive's root.
    const QString current = QDir::currentPath();
    const bool onDrive = QDir(current).rootPath().compare(drive, Qt::CaseInsensitive) == 0;
    emit DriveChosen(onDrive ? current : drive);
  });
}

void TDriveComboBox::ShowDriveOf(const QString& directory) {
  const QString root = QDir(directory).rootPath();
  for (int i = 0; i < count(); ++i) {
    if (itemData(i).toString().compare(root, Qt::CaseInsensitive) == 0) {
      setCurrentIndex(i);
      return;
    }
  }
}

QString TDriveComboBox::Drive() const { return currentData().toString(); }

TDirectoryListBox::TDirectoryListBox(Dialogs& dialogs, const QString& directory, QWidget* parent)
    : QListWidget(parent), TheDialogs(dialogs) {
  setFocusPolicy(Qt::ClickFocus);
  setUniformItemSizes(true);
  setItemDelegate(new TRowDelegate(16, 8, this));
  setIconSize(QSize(14, 12));
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(this, &QListWidget::itemDoubleClicked, this, &TDirectoryListBox::OpenItem);
  ShowDirectory(directory);
}

void TDirectoryListBox::ShowDirectory(const QString& directory) {
  ShownDirectory = CleanPath(directory);
  clear();
  // The root and every folder down to the directory itself.
  QStringList chain;
  QDir walker(ShownDirectory);
  chain.prepend(walker.absolutePath());
  while (!walker.isRoot() && walker.cdUp()) chain.prepend(walker.absolutePath());

  static const QIcon openIcon = DrawFolderIcon(FolderIcon::Open);
  static const QIcon currentIcon = DrawFolderIcon(FolderIcon::Current);
  static const QIcon closedIcon = DrawFolderIcon(FolderIcon::Closed);
  int level = 0;
  QListWidgetItem* shown = nullptr;
  for (int i = 0; i < chain.size(); ++i) {
    const bool last = i + 1 == chain.size();
    auto* item = new QListWidgetItem(last ? currentIcon : openIcon, RowText(chain[i]), this);
    item->setData(PathRole, chain[i]);
    item->setData(LevelRole, level++);
    if (last) shown = item;
  }
  const QStringList folders =
      QDir(ShownDirectory).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
  for (const QString& folder : folders) {
    auto* item = new QListWidgetItem(closedIcon, folder, this);
    item->setData(PathRole, QDir(ShownDirectory).filePath(folder));
    item->setData(LevelRole, level);
  }
  if (shown) {
    setCurrentItem(shown);
    scrollToItem(shown);
  }
}

bool TDirectoryListBox::ChangeDirectory(const QString& path) {
  const QString target = CleanPath(path);
  if (!CanEnter(target) || !QDir::setCurrent(target)) {
    TheDialogs.ShowMessage(FolderMessage(target));
    return false;
  }
  ShowDirectory(target);
  emit DirectoryChanged(ShownDirectory);
  return true;
}

void TDirectoryListBox::OpenItem(QListWidgetItem* item) {
  if (!item) return;
  const QString path = item->data(PathRole).toString();
  if (SameDirectory(path, ShownDirectory)) return;
  ChangeDirectory(path);
}

void TDirectoryListBox::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    OpenItem(currentItem());
    event->accept();
    return;
  }
  QListWidget::keyPressEvent(event);
}

TFileListBox::TFileListBox(Dialogs& dialogs, const QString& directory, QWidget* parent)
    : QListWidget(parent), TheDialogs(dialogs), ListedDirectory(CleanPath(directory)) {
  setFocusPolicy(Qt::ClickFocus);
  setUniformItemSizes(true);
  setItemDelegate(new TRowDelegate(12, 0, this));
  setSelectionMode(QAbstractItemView::SingleSelection);
  List();
}

QStringList TFileListBox::FileNames() const {
  QStringList names;
  for (int i = 0; i < count(); ++i) names << item(i)->text();
  return names;
}

void TFileListBox::Update() {
  if (!CanEnter(ListedDirectory) || !QDir::setCurrent(ListedDirectory)) {
    TheDialogs.ShowMessage(FolderMessage(ListedDirectory));
    return;
  }
  List();
}

void TFileListBox::List() {
  clear();
  // Ordinary files only: no folders, no hidden or system entries.
  addItems(QDir(ListedDirectory).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase));
}
