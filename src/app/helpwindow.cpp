#include "app/helpwindow.h"

#include "platform/rules/screenscale.h"
#include "platform/stylus.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QVBoxLayout>

HelpWindow::HelpWindow(QWidget *parent)
    : QDialog(parent), m_text(new QTextBrowser(this)), m_close(new QPushButton(QStringLiteral("CLOSE"), this))
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(tr("How to play — Trotix"));
    m_text->setObjectName(QStringLiteral("helpText"));
    m_text->setOpenExternalLinks(false);
    Stylus::attach(parent)->dragScrolls(m_text);
    // A touch screen has no Escape key: the button closes it there.
    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(m_close, 0, Qt::AlignHCenter);
}

void placeOverGame(QWidget *window, QWidget *game, qreal scale)
{
    const QScreen *screen = game->screen() ? game->screen() : QGuiApplication::primaryScreen();
    const QRect whole = screen ? screen->geometry() : QRect(0, 0, ScreenScale::deviceWidth, ScreenScale::deviceHeight);
    if (ScreenScale::isDeviceSized(whole.size())) {
        window->setFixedSize(whole.size());
        window->setGeometry(whole);
    } else {
        window->setFixedSize(qRound(ScreenScale::deviceWidth * scale), qRound(ScreenScale::deviceHeight * scale));
        QRect placed(QPoint(0, 0), window->size());
        placed.moveCenter(game->geometry().center());
        // Kept on the screen, title bar included.
        placed.moveTop(qMax(placed.top(), whole.top()));
        placed.moveLeft(qMax(placed.left(), whole.left()));
        window->move(placed.topLeft());
    }
}

void HelpWindow::showOver(QWidget *game, qreal scale)
{
    scale = qMax(qreal(1), scale);
    // The bar's colours and its 11-pixel type, grown with the zoom; headings in the bar's brown.
    QFont type(QStringLiteral("helvetica"));
    type.setPixelSize(qRound(11 * scale));
    m_text->document()->setDefaultFont(type);
    m_text->document()->setDefaultStyleSheet(QStringLiteral("h1 { color: #8a6a3a; font-size: %1px; }"
                                                            "h2 { color: #8a6a3a; font-size: %2px; }")
                                                 .arg(qRound(16 * scale))
                                                 .arg(qRound(13 * scale)));
    // Read again at each showing: the style sheet applies to text read after it.
    QFile guide(QStringLiteral(":/help/playing.md"));
    if (guide.open(QIODevice::ReadOnly))
        m_text->setMarkdown(QString::fromUtf8(guide.readAll()));
    else
        m_text->setPlainText(QStringLiteral("The guide is missing from this build."));
    m_text->setFont(type);
    m_close->setFont(type);
    setStyleSheet(ScreenScale::rescaledStyleSheet(
        QStringLiteral("QDialog { background: #f3ead8; }"
                       "QTextBrowser { background: #f3ead8; color: #2b1d0e; border: 1px solid #8a6a3a; }"
                       "QPushButton { background: #f3ead8; color: #2b1d0e; border: 1px solid #8a6a3a;"
                       " padding: 2px 12px; }"
                       "QPushButton:pressed { background: #d9b77a; }"
                       "QScrollBar:vertical { width: 8px; background: #f3ead8; margin: 0px; }"
                       "QScrollBar::handle:vertical { background: #d9b77a; min-height: 16px; }"
                       "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0px; }"),
        scale));
    const int gap = qRound(4 * scale);
    layout()->setContentsMargins(gap, gap, gap, gap);
    layout()->setSpacing(gap);

    placeOverGame(this, game, scale);
    show();
    raise();
    activateWindow();
    m_text->setFocus();
    // On the device's own screen the player is most likely to want the stylus's ways first.
    const QScreen *screen = game->screen();
    if (screen && ScreenScale::isDeviceSized(screen->size()))
        scrollToHeading(QStringLiteral("On a handheld"));
}

void HelpWindow::scrollToHeading(const QString &heading)
{
    const QTextDocument *document = m_text->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() > 0 && block.text() == heading) {
            m_text->verticalScrollBar()->setValue(int(document->documentLayout()->blockBoundingRect(block).top()));
            return;
        }
    }
}
