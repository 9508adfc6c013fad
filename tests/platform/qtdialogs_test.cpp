// The real Qt dialogs as the user sees them: filter labels and Qt's own texts in Chinese.
#include "platform/qtdialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/qttranslation.h"

using namespace vimbrel;

namespace {

// Calls look at the file dialog once it is up, then cancels it.
void whenDialogShows(std::function<void(QFileDialog &)> look)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, look] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll->stop();
        poll->deleteLater();
        look(*dialog);
        dialog->reject();
    });
    poll->start(10);
}

QStringList filterLabels(QFileDialog &dialog)
{
    QStringList labels;
    if (const auto *combo = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"))) {
        for (int i = 0; i < combo->count(); ++i)
            labels << combo->itemText(i);
    }
    return labels;
}

class QtDialogsTest : public ::testing::Test
{
protected:
    void SetUp() override { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }
    void TearDown() override
    {
        if (m_translator)
            QCoreApplication::removeTranslator(m_translator);
        delete m_translator;
    }

    QtDialogs m_dialogs;
    QTranslator *m_translator = nullptr;
};

} // namespace

TEST_F(QtDialogsTest, FilterLabelsDoNotRepeatTheirPatterns)
{
    QStringList openLabels;
    whenDialogShows([&](QFileDialog &dialog) { openLabels = filterLabels(dialog); });
    EXPECT_EQ(m_dialogs.openFile(QStringLiteral("打開圖像文件"), QString(),
                                 QStringLiteral("圖片(BMP,JPG) (*.bmp *.jpg);;所有文件 (*.*) (*)")),
              std::nullopt);
    EXPECT_EQ(openLabels,
              QStringList({QStringLiteral("圖片(BMP,JPG)"), QStringLiteral("所有文件 (*.*)")}));

    QStringList saveLabels;
    whenDialogShows([&](QFileDialog &dialog) { saveLabels = filterLabels(dialog); });
    EXPECT_EQ(m_dialogs.saveFile(QStringLiteral("保存文件"),
                                 QStringLiteral("文本文件(TXT) (*.txt)"),
                                 QStringLiteral("文件列表")),
              std::nullopt);
    EXPECT_EQ(saveLabels, QStringList{QStringLiteral("文本文件(TXT)")});
}

TEST_F(QtDialogsTest, QtsOwnTextsAreTraditionalChinese)
{
    m_translator = installQtTranslation(*qApp);
    ASSERT_NE(m_translator, nullptr) << "qtbase_zh_TW missing (qt6-translations-l10n)";
    QString cancel;
    whenDialogShows([&](QFileDialog &dialog) {
        if (const auto *box = dialog.findChild<QDialogButtonBox *>())
            if (const QPushButton *button = box->button(QDialogButtonBox::Cancel))
                cancel = button->text();
    });
    m_dialogs.saveFile(QStringLiteral("保存文件"), QStringLiteral("文本文件(TXT) (*.txt)"),
                       QStringLiteral("文件列表"));
    EXPECT_EQ(cancel, QStringLiteral("取消"));
}

TEST_F(QtDialogsTest, ADialogBelongsToItsWindowAndOpensWhereItsNameLies)
{
    QWidget window;
    const std::unique_ptr<Dialogs> owned = m_dialogs.ownedBy(&window);
    QTemporaryDir folder;
    const struct
    {
        QString name;
        QString opensIn;
    } cases[] = {{folder.filePath(QStringLiteral("a.jpg")), folder.path()},
                 {QStringLiteral("a.jpg"), QDir::homePath()}};
    for (const auto &c : cases) {
        const QWidget *parent = nullptr;
        QString opened;
        whenDialogShows([&](QFileDialog &dialog) {
            parent = dialog.parentWidget();
            opened = dialog.directory().absolutePath();
        });
        owned->saveFile(QStringLiteral("保存圖片"), QStringLiteral("所有文件 (*)"), c.name);
        EXPECT_EQ(parent, &window) << c.name.toStdString();
        EXPECT_EQ(opened, QDir(c.opensIn).absolutePath()) << c.name.toStdString();
    }
}
