// The window under random input: seeded keys, clicks, double clicks, drags,
// wheel turns and pastes anywhere in the window. The events are posted, not
// sent, so that they also arrive while a flight or a replay processes events,
// as a user's do. A crash or a sanitizer report ends the program; the seed
// printed first replays it: SKARVEL_RANDOM_SEED=N [SKARVEL_RANDOM_ACTIONS=M].

#include "window_fixture.h"

#include "data/tables.h"
#include "gui/commands.h"
#include "gui/help_window.h"
#include "gui/stability_dialog.h"
#include "gui/sweep_dialog.h"
#include "gui/table_view.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

using skarvel::test::Window;

class Monkey {
  public:
    // `commands`: menu commands and the other windows too; without, the mix
    // of actions that earlier seeds were found with.
    Monkey(Window& w, unsigned seed, bool commands)
        : w_(w), commands_(commands), rng_(seed), modalRng_(seed + 1) {
        // A context menu or a modal dialog runs its own event loop, in which
        // this monkey no longer acts: a timer answers it there instead.
        dismisser_.setInterval(30);
        QObject::connect(&dismisser_, &QTimer::timeout, [this] { answerModal(); });
        dismisser_.start();
    }

    // The windows the run reached and acted in, and the flights it started.
    struct Reached {
        int flights = 0;
        int stabilityActions = 0;
        int sweepActions = 0;
        int patternPreviews = 0;
    } reached;

    void act() {
        current_ = commands_ ? targetWidget() : w_.form.get();
        const int kind = pick(100);
        if (commands_ && kind < 6) {
            command();
        } else if (kind < 45) {
            key();
        } else if (kind < 65) {
            click(false);
        } else if (kind < 72) {
            click(true);
        } else if (kind < 80) {
            drag();
        } else if (kind < 86) {
            wheel();
        } else if (kind < 92) {
            paste();
        } else {
            typeNumber();
        }
    }

    // How many actions are posted before the window gets its turn: those
    // after the first may arrive while the first one's command runs.
    int burst() { return 1 + pick(4) * pick(2); }

    // Between bursts the window gets its turn, sometimes long enough for
    // a replay to play some frames.
    void settle() {
        if (pick(4) == 0) {
            QTest::qWait(pick(30));
        } else {
            QCoreApplication::processEvents();
        }
        if (!w_.form->isVisible()) {
            // Closed by the exit command or Alt+F4: open again, as a new start would.
            w_.form->show();
        }
        if (w_.find<skarvel::gui::HelpWindow>("HelpWindow") != nullptr &&
            w_.find<skarvel::gui::HelpWindow>("HelpWindow")->isVisible() && pick(3) == 0) {
            w_.find<skarvel::gui::HelpWindow>("HelpWindow")->close();
        }
    }

  private:
    // A command from the menus, queued as a menu's click is: a flight often,
    // and the windows that take input of their own.
    void command() {
        using skarvel::gui::Command;
        static const Command kCommands[] = {
            Command::RunFromInput, Command::RunFromInput, Command::RunFromParameters,
            Command::Stability,    Command::Sweep,        Command::PrintPattern};
        const Command c = kCommands[pick(static_cast<int>(std::size(kCommands)))];
        if (c == Command::RunFromInput || c == Command::RunFromParameters) {
            ++reached.flights;
        } else if (c == Command::PrintPattern) {
            ++reached.patternPreviews;
        }
        QTimer::singleShot(0, w_.form.get(), [this, c] {
            if (QAction* a = w_.form->action(c); a != nullptr && a->isEnabled()) {
                a->trigger();
            }
        });
    }

    void answerModal() {
        QWidget* modal = QApplication::activePopupWidget();
        if (modal == nullptr) {
            modal = QApplication::activeModalWidget();
        }
        if (modal == nullptr) {
            return;
        }
        static const int kKeys[] = {Qt::Key_Down, Qt::Key_Up, Qt::Key_Return, Qt::Key_Escape};
        // Its own numbers: when it runs depends on the clock, what the
        // monkey does must not.
        std::uniform_int_distribution<int> pick(0, 11);
        const int choice = pick(modalRng_);
        if (choice < 4) {
            modal->close();
        } else {
            const int key = kKeys[choice % 4];
            QCoreApplication::postEvent(modal,
                                        new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
            QCoreApplication::postEvent(modal,
                                        new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier));
        }
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    // The main window, or now and then the stability or sweep window when it
    // is open: what a user acts in.
    QWidget* targetWidget() {
        QWidget* others[] = {w_.beside<skarvel::gui::StabilityDialog>("StabilityDialog"),
                             w_.beside<skarvel::gui::SweepDialog>("SweepDialog")};
        QWidget* other = others[pick(2)];
        if (other != nullptr && other->isVisible() && pick(3) == 0) {
            ++(other == others[0] ? reached.stabilityActions : reached.sweepActions);
            return other;
        }
        return w_.form.get();
    }

    QWindow* target() { return current_->windowHandle(); }

    Qt::KeyboardModifiers modifiers() {
        Qt::KeyboardModifiers m;
        if (pick(5) == 0)
            m |= Qt::ShiftModifier;
        if (pick(6) == 0)
            m |= Qt::ControlModifier;
        if (pick(6) == 0)
            m |= Qt::AltModifier;
        return m;
    }

    void postKey(int key, Qt::KeyboardModifiers mods, const QString& text = {}) {
        QCoreApplication::postEvent(target(), new QKeyEvent(QEvent::KeyPress, key, mods, text));
        QCoreApplication::postEvent(target(), new QKeyEvent(QEvent::KeyRelease, key, mods, text));
    }

    void character() {
        static const char kChars[] = "abdfloprtuzABDFLOPRTUZ0123456789.-e,x";
        const char c = kChars[pick(static_cast<int>(sizeof kChars) - 1)];
        const Qt::KeyboardModifiers mods = pick(8) == 0 ? modifiers() : Qt::NoModifier;
        const int code = c >= 'a' && c <= 'z'   ? Qt::Key_A + (c - 'a')
                         : c >= 'A' && c <= 'Z' ? Qt::Key_A + (c - 'A')
                                                : static_cast<int>(c);
        postKey(code, mods | (c >= 'A' && c <= 'Z' ? Qt::ShiftModifier : Qt::NoModifier),
                (mods & (Qt::ControlModifier | Qt::AltModifier)) ? QString()
                                                                 : QString(QLatin1Char(c)));
    }

    void key() {
        static const int kKeys[] = {
            Qt::Key_Return, Qt::Key_Escape, Qt::Key_Tab,      Qt::Key_Backtab, Qt::Key_Left,
            Qt::Key_Right,  Qt::Key_Up,     Qt::Key_Down,     Qt::Key_Delete,  Qt::Key_Backspace,
            Qt::Key_Space,  Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home,    Qt::Key_End,
            Qt::Key_F2,     Qt::Key_F1,     Qt::Key_F4,       Qt::Key_F10,     Qt::Key_Insert};
        if (pick(2) == 0) {
            // Letters and digits, the one-letter commands among them.
            for (int n = 1 + pick(3); n > 0; --n) {
                character();
            }
            return;
        }
        const int k = kKeys[pick(static_cast<int>(std::size(kKeys)))];
        Qt::KeyboardModifiers mods = modifiers();
        if (k == Qt::Key_F4 && (mods & Qt::AltModifier)) {
            mods &= ~Qt::AltModifier; // no closing by the window manager here
        }
        const QString text = k == Qt::Key_Return   ? QStringLiteral("\r")
                             : k == Qt::Key_Escape ? QString(QChar(27))
                             : k == Qt::Key_Tab    ? QStringLiteral("\t")
                             : k == Qt::Key_Space  ? QStringLiteral(" ")
                                                   : QString();
        postKey(k, mods, (mods & (Qt::ControlModifier | Qt::AltModifier)) ? QString() : text);
    }

    QPointF point() {
        const QSize size = current_->size();
        return QPointF(pick(size.width()), pick(size.height()));
    }

    void postMouse(QEvent::Type type, QPointF p, Qt::MouseButton button, Qt::MouseButtons held,
                   Qt::KeyboardModifiers mods) {
        const QPointF global = current_->mapToGlobal(p);
        QCoreApplication::postEvent(target(),
                                    new QMouseEvent(type, p, p, global, button, held, mods));
    }

    Qt::MouseButton button() { return pick(5) == 0 ? Qt::RightButton : Qt::LeftButton; }

    void click(bool twice) {
        const QPointF p = point();
        const Qt::MouseButton b = button();
        const Qt::KeyboardModifiers mods = pick(4) == 0 ? modifiers() : Qt::NoModifier;
        postMouse(QEvent::MouseButtonPress, p, b, b, mods);
        postMouse(QEvent::MouseButtonRelease, p, b, Qt::NoButton, mods);
        if (twice) {
            postMouse(QEvent::MouseButtonDblClick, p, b, b, mods);
            postMouse(QEvent::MouseButtonRelease, p, b, Qt::NoButton, mods);
        }
    }

    void drag() {
        QPointF p = point();
        const Qt::MouseButton b = button();
        postMouse(QEvent::MouseButtonPress, p, b, b, Qt::NoModifier);
        const int steps = 1 + pick(6);
        for (int i = 0; i < steps; ++i) {
            p += QPointF(pick(81) - 40, pick(81) - 40);
            postMouse(QEvent::MouseMove, p, Qt::NoButton, b, Qt::NoModifier);
        }
        postMouse(QEvent::MouseButtonRelease, p, b, Qt::NoButton, Qt::NoModifier);
    }

    void wheel() {
        const QPointF p = point();
        const int delta = (pick(2) == 0 ? 120 : -120) * (1 + pick(3));
        QCoreApplication::postEvent(
            target(), new QWheelEvent(p, current_->mapToGlobal(p), QPoint(), QPoint(0, delta),
                                      Qt::NoButton, modifiers(), Qt::NoScrollPhase, false));
    }

    void paste() {
        // An empty clipboard, text, or a picture.
        switch (pick(3)) {
        case 0:
            QApplication::clipboard()->clear();
            break;
        case 1:
            QApplication::clipboard()->setText(QStringLiteral("12.5"));
            break;
        default:
            QApplication::clipboard()->setMimeData(new QMimeData);
            break;
        }
        if (pick(2) == 0) {
            postKey(Qt::Key_V, Qt::ControlModifier);
        } else {
            postKey(Qt::Key_Insert, Qt::ShiftModifier);
        }
    }

    // A value as a user types it into a cell: sometimes absurd.
    void typeNumber() {
        static const char* const kValues[] = {"5",      "-3", "1e308", "1e30", "0",   "-0",
                                              "1e-300", "90", "99999", "2,5",  "nan", "1e3"};
        const char* v = kValues[pick(static_cast<int>(std::size(kValues)))];
        postKey(Qt::Key_F2, Qt::NoModifier);
        postKey(Qt::Key_A, Qt::ControlModifier);
        for (const char* c = v; *c != '\0'; ++c) {
            postKey(static_cast<int>(static_cast<unsigned char>(*c)), Qt::NoModifier,
                    QString(QLatin1Char(*c)));
        }
        switch (pick(10)) {
        case 0:
        case 1:
        case 2:
            postKey(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
            break;
        case 3:
        case 4:
        case 5:
            // Letters typed on, the one-letter commands among them.
            for (int n = 1 + pick(3); n > 0; --n) {
                character();
            }
            if (pick(2) == 0) {
                postKey(Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
            }
            break;
        case 6:
        case 7:
            postKey(Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
            break;
        default:
            break; // the cell stays open
        }
    }

    Window& w_;
    bool commands_ = true;
    QWidget* current_ = nullptr; // the window the present action goes to
    std::mt19937 rng_;
    std::mt19937 modalRng_;
    QTimer dismisser_;
};

int EnvInt(const char* name, int fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? std::atoi(text) : fallback;
}

void Play(unsigned seed, int actions, bool commands = true) {
    std::fprintf(stderr, "random input seed %u, %d actions\n", seed, actions);
    SCOPED_TRACE(testing::Message() << "random input seed " << seed);
    Window w;
    Monkey monkey(w, seed, commands);
    for (int i = 0; i < actions;) {
        for (int n = monkey.burst(); n > 0 && i < actions; --n, ++i) {
            monkey.act();
        }
        monkey.settle();
        const skarvel::app::Workspace& ws = w.ws();
        ASSERT_GE(ws.marker().trackPosition(), 0) << "action " << i;
        ASSERT_LE(ws.marker().trackPosition(), ws.marker().trackMax()) << "action " << i;
        ASSERT_LE(ws.marker().markerSample(), ws.record().lastIndex) << "action " << i;
    }
    std::fprintf(stderr,
                 "random input seed %u: history counter %d at the end; %d flights asked for, "
                 "%d actions in the stability window, %d in the sweep window, %d pattern "
                 "previews\n",
                 seed, w.ws().history().counter(), monkey.reached.flights,
                 monkey.reached.stabilityActions, monkey.reached.sweepActions,
                 monkey.reached.patternPreviews);
    // A run flies often and reaches the windows that take input of their own.
    if (commands && actions >= 1000) {
        EXPECT_GT(w.ws().history().counter(), 10);
        EXPECT_GT(monkey.reached.stabilityActions, 0);
        EXPECT_GT(monkey.reached.sweepActions, 0);
        EXPECT_GT(monkey.reached.patternPreviews, 0);
    }
    // Whatever was going on ends when the window closes.
    w.form->close();
    QTest::qWait(50);
    EXPECT_FALSE(w.ws().busy());
    EXPECT_FALSE(w.ws().marker().replaying());
}

// The keys of a user who types into a cell, starts a replay with its letter
// and moves on with Tab while it plays, as they arrive from the window system.
TEST(RandomInput, ReplayLetterInAnOpenCellThenTab) {
    Window w;
    w.ws().marker().setReplayStep("1");
    ASSERT_NE(skarvel::test::EditCell(w.find<skarvel::gui::TableView>("InputTable"), 1,
                                      skarvel::data::input::WindSpeed, QStringLiteral("5")),
              nullptr);
    QWindow* window = w.form->windowHandle();
    const auto post = [window](int key, const QString& text) {
        QCoreApplication::postEvent(window,
                                    new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
        QCoreApplication::postEvent(window,
                                    new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, text));
    };
    post(Qt::Key_P, QStringLiteral("p"));
    post(Qt::Key_Tab, QStringLiteral("\t"));
    // Esc some frames later, when the closed cell's editor has gone.
    QTimer::singleShot(100, w.form.get(), [post] { post(Qt::Key_Escape, QString(QChar(27))); });
    QTest::qWait(300);
    EXPECT_FALSE(w.ws().marker().replaying());
    EXPECT_EQ(w.ws().tables().input.cell(1, skarvel::data::input::WindSpeed), "5");
}

TEST(RandomInput, SeededActionsAnywhereInTheWindow) {
    if (const int seed = EnvInt("SKARVEL_RANDOM_SEED", -1); seed >= 0) {
        Play(static_cast<unsigned>(seed), EnvInt("SKARVEL_RANDOM_ACTIONS", 3000));
        return;
    }
    Play(20261207u, EnvInt("SKARVEL_RANDOM_ACTIONS", 3000));
}

// This seed found the replay letter crash: a replay started by its letter in
// an open cell, the cell closed while it played, and the letter then handed
// on to the deleted editor.
TEST(RandomInput, SeedThatFoundTheReplayLetterCrash) {
    Play(500u, 300, false);
}

} // namespace
