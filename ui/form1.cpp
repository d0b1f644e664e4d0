#include "form1.h"

#include "clientscrollarea.h"
#include "commandbutton.h"
#include "figurepane.h"
#include "frame.h"
#include "helpfile.h"
#include "helpwindow.h"
#include "notifyinglabel.h"
#include "optionbutton.h"
#include "questionlist.h"
#include "smiley.xpm"

#include <QAccessible>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

namespace {

// The layout is designed in twips; 15 twips make one logical pixel.
constexpr QRect twips(int left, int top, int width, int height)
{
    return {left / 15, top / 15, width / 15, height / 15};
}

const QString windowCaption = QStringLiteral("QX9VEN General Class Theory");
const QString correctResultText = QStringLiteral("Correct");
const QString wrongResultText = QStringLiteral("WRONG");

// The layout was designed around a small bitmap sans of another platform. Liberation Sans has
// its shapes; drawn five percent tighter it also has about its average width, so the texts
// wrap in their boxes much where the design has them wrap.
QFont designFont(qreal points, bool bold = false)
{
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setLetterSpacing(QFont::PercentageSpacing, 95);
    return font;
}

// A control with a background of its own gets black text with it, whatever the desktop's
// palette: the light text of a dark palette would vanish on white or pale yellow. Controls
// inside it inherit both colours.
void setBackground(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::WindowText, Qt::black);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// Names a control after the design, and fixes it at its place and size in its container. A
// screen reader knows it by its visible text and hears its role as the description.
template <typename Control>
Control* place(Control* control, const QString& name, const QRect& box, const QString& role)
{
    control->setObjectName(name);
    control->setGeometry(box);
    control->setFixedSize(box.size());
    control->setAccessibleDescription(role);
    return control;
}

// A label in a fixed box: plain text from the top left, wrapped at words, cut off at the
// bottom, on an opaque background.
template <typename LabelKind = QLabel>
LabelKind* makeLabel(QWidget* container, const QString& name, const QRect& box, const QString& text,
                     const QString& role)
{
    auto* label = place(new LabelKind(text, container), name, box, role);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    label->setAutoFillBackground(true);
    return label;
}

QGroupBox* makeFrame(QWidget* container, const QString& name, const QRect& box,
                     const QString& title, const QString& role)
{
    return place(new Frame(title, container), name, box, role);
}

QRadioButton* makeOption(QWidget* container, const QString& name, const QRect& box,
                         const QString& text, const QString& role)
{
    auto* option = place(new OptionButton(container), name, box, role);
    option->setText(text);
    return option;
}

QPushButton* makeCommand(QWidget* container, const QString& name, const QRect& box,
                         const QString& text)
{
    auto* button = place(new CommandButton(text, container), name, box, QString());
    button->setAutoDefault(false);
    return button;
}

// The built-in bank's texts were written for their boxes; a pool's may be longer. While a pool
// is open, a text that would be cut off at the bottom of its box is drawn smaller until it fits,
// down to 6.5 points; otherwise the control takes the design's font from its container.
void fitToBox(QWidget* control, const QString& text, int textWidth, bool fromPool)
{
    if (!fromPool) {
        // Only a pool's exam ever sets a font of the control's own.
        if (control->testAttribute(Qt::WA_SetFont))
            control->setFont(QFont());
        return;
    }
    QFont font = control->parentWidget()->font();
    const auto fits = [&] {
        return QFontMetrics(font)
                   .boundingRect(QRect(0, 0, textWidth, QWIDGETSIZE_MAX), Qt::TextWordWrap, text)
                   .height() <= control->height();
    };
    while (!fits() && font.pointSizeF() > 6.5)
        font.setPointSizeF(font.pointSizeF() - 0.25);
    control->setFont(font);
}

// The controls are kept in arrays in the order of the numbers in their names.
template <typename Name> std::size_t slot(Name name)
{
    return static_cast<std::size_t>(name) - 1;
}

} // namespace

Form1::Form1(bank::UniformSource* random, QWidget* parent)
    : QMainWindow(parent), ownRandom_(random ? nullptr : std::make_unique<bank::MersenneSource>()),
      exam_(*this, random ? *random : *ownRandom_)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(windowCaption);
    setWindowIcon(QIcon(QPixmap(smiley_xpm)));

    // The controls sit at the size of their design; a pool's figure, when a question has one,
    // takes a column of its own to their right.
    clientArea_ = new QWidget;
    clientArea_->setObjectName(QStringLiteral("clientArea"));
    surface_ = new QWidget(clientArea_);
    surface_->setObjectName(QStringLiteral("designArea"));
    surface_->setFixedSize(twips(0, 0, 10575, 8190).size());
    surface_->setFont(designFont(8.25));
    clientArea_->setFixedSize(surface_->size());
    figurePane_ = new FigurePane(clientArea_);
    figurePane_->hide();
    // The window has the fixed size of its design wherever that fits the screen.
    scrollArea_ = new ClientScrollArea(clientArea_, this);
    setCentralWidget(scrollArea_);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    buildControls(surface_);
    buildMenus();
    connectHandlers();

    // Loading the window presents the first question before it is first shown.
    showExamSource();
    runExamHandler(&exam::Exam::Form_Load);
    options_[0]->setFocus();
    options_[0]->installEventFilter(this);
}

Form1::~Form1() = default;

void Form1::buildControls(QWidget* surface)
{
    frames_[3] = makeFrame(surface, QStringLiteral("Frame4"), twips(8760, 120, 1695, 1335),
                           QStringLiteral("No. Correct"), QStringLiteral("Number correct"));
    frames_[2] = makeFrame(surface, QStringLiteral("Frame3"), twips(8760, 1440, 1695, 1095),
                           QStringLiteral("MODE"), QStringLiteral("Mode"));
    frames_[1] = makeFrame(surface, QStringLiteral("Frame2"), twips(240, 600, 8175, 1215),
                           QStringLiteral("QUESTION"), QStringLiteral("Question"));
    frames_[0] = makeFrame(surface, QStringLiteral("Frame1"), twips(240, 1920, 8175, 4215),
                           QStringLiteral("ANSWER CHOICES"), QStringLiteral("Answer choices"));
    setBackground(frames_[1], Qt::white);

    commands_[0] = makeCommand(surface, QStringLiteral("Command1"), twips(240, 7560, 975, 375),
                               QStringLiteral("Solve"));
    commands_[1] = makeCommand(surface, QStringLiteral("Command2"), twips(5880, 7560, 1215, 375),
                               QStringLiteral("Submit Answer"));
    commands_[2] = makeCommand(surface, QStringLiteral("Command3"), twips(9360, 7080, 1095, 375),
                               QStringLiteral("QUIT"));
    commands_[3] = makeCommand(surface, QStringLiteral("Command4"), twips(7320, 7560, 1095, 375),
                               QStringLiteral("Continue"));

    QWidget* answers = frames_[0];
    options_[0] = makeOption(answers, QStringLiteral("Option1"), twips(240, 480, 7575, 615),
                             QStringLiteral("Option1"), QStringLiteral("Answer choice A"));
    options_[1] = makeOption(answers, QStringLiteral("Option2"), twips(240, 1320, 7695, 735),
                             QStringLiteral("Option2"), QStringLiteral("Answer choice B"));
    options_[2] = makeOption(answers, QStringLiteral("Option3"), twips(240, 2280, 7575, 495),
                             QStringLiteral("Option3"), QStringLiteral("Answer choice C"));
    options_[3] = makeOption(answers, QStringLiteral("Option4"), twips(240, 3240, 7695, 495),
                             QStringLiteral("Option4"), QStringLiteral("Answer choice D"));
    QWidget* mode = frames_[2];
    options_[4] = makeOption(mode, QStringLiteral("Option5"), twips(120, 360, 1215, 255),
                             QStringLiteral("QUIZ Mode"),
                             QStringLiteral("The solution only when Solve is pressed"));
    options_[5] = makeOption(mode, QStringLiteral("Option6"), twips(120, 720, 1455, 195),
                             QStringLiteral("Learning Mode"),
                             QStringLiteral("Every question with its solution"));
    options_[4]->setChecked(true);

    solutionBar_ =
        makeLabel<NotifyingLabel>(surface, QStringLiteral("Label1"), twips(240, 6120, 8175, 615),
                                  QStringLiteral("Label1"), QStringLiteral("Solution"));
    labels_[0] = solutionBar_;
    setBackground(labels_[0], QColor(255, 255, 192));
    labels_[1] = makeLabel(surface, QStringLiteral("Label2"), twips(240, 120, 855, 375),
                           QStringLiteral("Label2"), QStringLiteral("Questions presented"));
    labels_[5] = makeLabel(surface, QStringLiteral("Label6"), twips(7080, 120, 1095, 375),
                           QStringLiteral("Label6"), QStringLiteral("Result"));
    labels_[5]->setFont(designFont(13.5));
    labels_[8] = makeLabel(surface, QStringLiteral("Label9"), twips(240, 6840, 8895, 975),
                           QStringLiteral("Label9"), QStringLiteral("Explanation"));
    labels_[9] = makeLabel(surface, QStringLiteral("Label10"), twips(8760, 4080, 1695, 495),
                           QStringLiteral("Copyright (C) 2001-2003 QX9VEN"),
                           QStringLiteral("Author's notice"));
    labels_[10] = makeLabel(surface, QStringLiteral("Label11"), twips(8760, 2640, 975, 495),
                            QStringLiteral("Program by"), QStringLiteral("Program by"));
    labels_[10]->setFont(designFont(9.75, true));
    labels_[11] = makeLabel(surface, QStringLiteral("Label12"), twips(9120, 2880, 1215, 375),
                            QStringLiteral("QX9VEN"), QStringLiteral("Author"));
    labels_[11]->setFont(designFont(13.5, true));
    labels_[3] = makeLabel(answers, QStringLiteral("Label4"), twips(600, 240, 975, 375),
                           QStringLiteral("Label4"), QStringLiteral("Position in group"));
    QWidget* question = frames_[1];
    labels_[2] = makeLabel(question, QStringLiteral("Label3"), twips(240, 360, 615, 375),
                           QStringLiteral("Label3"), QStringLiteral("Question number"));
    labels_[6] = makeLabel(question, QStringLiteral("Label7"), twips(1080, 240, 6855, 735),
                           QStringLiteral("Label7"), QStringLiteral("Question"));
    QWidget* correct = frames_[3];
    labels_[4] = makeLabel(correct, QStringLiteral("Label5"), twips(120, 240, 1215, 375),
                           QStringLiteral("Label5"), QStringLiteral("Number correct"));
    // The exam's own pass mark: 26 of 35 for the built-in exam, as the examination rules set it.
    labels_[7] = makeLabel(correct, QStringLiteral("Label8"), twips(240, 600, 1215, 615),
                           QStringLiteral("Label8"), QStringLiteral("Pass mark"));
    labels_[1]->setVisible(false);
    labels_[3]->setVisible(false);

    // Labels are drawn on their container's surface: below every frame and button that
    // overlaps them, and among themselves in the order they were made.
    for (QWidget* container : {surface, answers, question, correct}) {
        for (QWidget* child : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (qobject_cast<QLabel*>(child) == nullptr)
                child->raise();
        }
    }

    // Focus runs through the answer choices, Solve, Submit Answer, QUIT, the mode, Continue.
    const std::array<QWidget*, 10> tabOrder{options_[0],  options_[1],  options_[2],  options_[3],
                                            commands_[0], commands_[1], commands_[2], options_[4],
                                            options_[5],  commands_[3]};
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void Form1::buildMenus()
{
    struct MenuEntry {
        const char* menuName;
        const char* menuCaption;
        const char* itemName;
        const char* itemCaption;
    };
    // File opens a question pool and goes back to the built-in exam before Exit.
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    file->setObjectName(QStringLiteral("File"));
    QAction* openPool = file->addAction(QStringLiteral("Open Question Pool\u2026"));
    openPool->setObjectName(QStringLiteral("openPool"));
    openPool->setShortcut(QKeySequence::Open);
    QAction* builtIn = file->addAction(QStringLiteral("Built-in Exam (2000\u20132003)"));
    builtIn->setObjectName(QStringLiteral("builtInExam"));
    file->addSeparator();
    QAction* exit = file->addAction(QStringLiteral("Exit"));
    exit->setObjectName(QStringLiteral("Exit"));
    static constexpr std::array<MenuEntry, 4> entries{{
        {"theory", "Theory", "treview", "THEORY REVIEW"},
        {"Tquestions", "The Questions", "geqlist", "General Exam Question List"},
        {"p97", "Part 97", "p97rules", "Part 97"},
        {"Help", "Help", "about2", "About"},
    }};
    for (const MenuEntry& entry : entries) {
        QMenu* menu = menuBar()->addMenu(QString::fromLatin1(entry.menuCaption));
        menu->setObjectName(QString::fromLatin1(entry.menuName));
        QAction* item = menu->addAction(QString::fromLatin1(entry.itemCaption));
        item->setObjectName(QString::fromLatin1(entry.itemName));
    }
}

void Form1::connectHandlers()
{
    exam::Exam* const target = &exam_;
    connect(commands_[0], &QPushButton::clicked, this,
            [this] { runExamHandler(&exam::Exam::Command1_Click); });
    connect(commands_[1], &QPushButton::clicked, this,
            [this] { runExamHandler(&exam::Exam::Command2_Click); });
    connect(commands_[2], &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(commands_[3], &QPushButton::clicked, this,
            [this] { runExamHandler(&exam::Exam::Command4_Click); });
    // clicked comes from the mouse, Space, and the arrow keys within the group, also for an
    // option that is already selected.
    connect(options_[0], &QRadioButton::clicked, this, [target] { target->Option1_Click(); });
    connect(options_[1], &QRadioButton::clicked, this, [target] { target->Option2_Click(); });
    connect(options_[2], &QRadioButton::clicked, this, [target] { target->Option3_Click(); });
    connect(options_[3], &QRadioButton::clicked, this, [target] { target->Option4_Click(); });
    connect(findChild<QAction*>(QStringLiteral("Exit")), &QAction::triggered, this,
            &Form1::Exit_Click);
    connect(findChild<QAction*>(QStringLiteral("openPool")), &QAction::triggered, this,
            &Form1::openPool_Click);
    connect(findChild<QAction*>(QStringLiteral("builtInExam")), &QAction::triggered, this,
            &Form1::builtInExam_Click);
    connect(findChild<QAction*>(QStringLiteral("about2")), &QAction::triggered, this,
            &Form1::about2_Click);
    connect(findChild<QAction*>(QStringLiteral("treview")), &QAction::triggered, this,
            &Form1::treview_Click);
    connect(findChild<QAction*>(QStringLiteral("geqlist")), &QAction::triggered, this,
            &Form1::geqlist_Click);
    connect(findChild<QAction*>(QStringLiteral("p97rules")), &QAction::triggered, this,
            &Form1::p97rules_Click);
}

QString Form1::aboutText()
{
    return QStringLiteral("QX9VEN General Class Theory, a practice exam by QX9VEN") + QChar(u'\r') +
           QStringLiteral("Copyright (C) 2001-2003 QX9VEN");
}

QString Form1::caption(exam::Label label) const
{
    return labels_[slot(label)]->text();
}

void Form1::setCaption(exam::Label label, const QString& text)
{
    if (label == exam::Label::Label7)
        fitToBox(labels_[slot(label)], text, labels_[slot(label)]->width(),
                 &exam_.source() != &bank::builtInBank());
    labels_[slot(label)]->setText(text);
    if (label == exam::Label::Label6 && !text.isEmpty())
        handlerRun_.result = text;
    else if (label == exam::Label::Label1 && !text.isEmpty())
        handlerRun_.solutionShown = true;
}

void Form1::setCaption(exam::Option option, const QString& text)
{
    if (auto* answer = qobject_cast<OptionButton*>(options_[slot(option)]))
        fitToBox(answer, text, answer->captionWidth(), &exam_.source() != &bank::builtInBank());
    options_[slot(option)]->setText(text);
    // Only the presentation of a question writes the answer choices.
    if (option == exam::Option::Option1)
        handlerRun_.questionShown = true;
}

bool Form1::isSelected(exam::Option option) const
{
    return options_[slot(option)]->isChecked();
}

void Form1::setButtonEnabled(exam::Button button, bool enabled)
{
    commands_[slot(button)]->setEnabled(enabled);
}

void Form1::setButtonVisible(exam::Button button, bool visible)
{
    commands_[slot(button)]->setVisible(visible);
}

bool Form1::askToContinue()
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("QX9VEN General Exam"),
                    QStringLiteral("Exam Over. Do you want to continue?"),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setObjectName(QStringLiteral("endOfExamBox"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

// What a screen reader hears. It speaks the control that takes the focus, with the groups the
// focus enters, and then the control's description, but not changes to other controls. So the
// descriptions carry what has just happened, and while assistive technology is running the
// focus goes where the learner will hear it: to the first answer choice when a question is
// presented, to Continue when a wrong answer shows it. Without assistive technology the focus
// stays where the learner put it.
void Form1::runExamHandler(void (exam::Exam::*handler)())
{
    handlerRun_ = {};
    (exam_.*handler)();
    const HandlerRun run = handlerRun_;
    const bool assistiveTechnology = QAccessible::isActive();
    // A new exam starts with nothing answered, whether the window or the end of an exam began it.
    if (!run.result.isEmpty())
        answered_ = true;
    else if (run.questionShown && exam_.questionCount() == 1)
        answered_ = false;
    if (run.questionShown) {
        showFigure();
        questionBrief_ = questionBrief();
        const bool afterRightAnswer = run.result == correctResultText;
        options_[0]->setAccessibleDescription(
            afterRightAnswer ? run.result + QStringLiteral(". ") + questionBrief_ : questionBrief_);
        if (assistiveTechnology)
            options_[0]->setFocus(Qt::OtherFocusReason);
    }
    if (commands_[3]->isVisibleTo(this) && run.result == wrongResultText) {
        QStringList said{run.result + QLatin1Char('.')};
        if (const QString solution = solutionSentence(); !solution.isEmpty())
            said << solution;
        commands_[3]->setAccessibleDescription(said.join(QLatin1Char(' ')));
        if (assistiveTechnology)
            commands_[3]->setFocus(Qt::OtherFocusReason);
    }
    // Solve leaves the focus on its button: the solution bar speaks for itself.
    if (run.solutionShown && !run.questionShown && run.result.isEmpty())
        solutionBar_->announce();
}

// Everything a learner needs about the question on screen, for the first answer choice.
QString Form1::questionBrief() const
{
    const auto trimmed = [this](exam::Label label) {
        return caption(label).trimmed();
    };
    QStringList parts{QStringLiteral("Question %1 of %2: %3")
                          .arg(trimmed(exam::Label::Label3))
                          .arg(exam_.source().groupCount())
                          .arg(trimmed(exam::Label::Label7))};
    if (figurePane_->isVisibleTo(this))
        parts << figurePane_->sentence();
    if (const QString solution = solutionSentence(); !solution.isEmpty())
        parts << solution;
    if (const QString explanation = trimmed(exam::Label::Label9); !explanation.isEmpty())
        parts << QStringLiteral("Explanation: ") + explanation;
    parts << QStringLiteral("%1 correct so far.").arg(trimmed(exam::Label::Label5));
    if (exam_.questionCount() > exam_.source().groupCount())
        parts << QStringLiteral("That was the last question: Submit Answer ends the exam.");
    // Each part ends with a stop, so that a screen reader pauses between them.
    for (QString& part : parts) {
        if (!part.endsWith(QLatin1Char('.')) && !part.endsWith(QLatin1Char('?')))
            part += QLatin1Char('.');
    }
    return parts.join(QLatin1Char(' '));
}

QString Form1::solutionSentence() const
{
    const QString solution = caption(exam::Label::Label1).trimmed();
    return solution.isEmpty() ? QString() : QStringLiteral("Solution: ") + solution;
}

// The result of the last answer is heard once, with the question after it; when the learner
// comes back to the first choice later, only the question is described.
bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == options_[0] && event->type() == QEvent::FocusOut)
        options_[0]->setAccessibleDescription(questionBrief_);
    return QMainWindow::eventFilter(watched, event);
}

void Form1::endProgram()
{
    hide();
    emit programEnded();
}

const bank::QuestionPool* Form1::pool() const
{
    return pool_ ? &pool_->pool() : nullptr;
}

void Form1::openPool_Click()
{
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Open Question Pool"), QString(),
        QStringLiteral("Question pools (*.docx *.txt);;All files (*)"));
    if (!path.isEmpty())
        openPoolFile(path);
}

void Form1::builtInExam_Click()
{
    useBuiltInExam();
}

bool Form1::openPoolFile(const QString& path)
{
    bank::PoolReading reading = bank::openPool(path);
    if (!reading.pool) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Question Pool Not Opened"),
                        bank::refusalMessage(QFileInfo(path).fileName(), reading.fault),
                        QMessageBox::Ok, this);
        box.setObjectName(QStringLiteral("poolRefusedBox"));
        box.setTextFormat(Qt::PlainText);
        box.setInformativeText(QStringLiteral("The exam on screen goes on as it was."));
        box.exec();
        return false;
    }
    if (!mayLeaveExam())
        return false;
    usePool(std::move(*reading.pool));
    return true;
}

void Form1::usePool(bank::QuestionPool pool)
{
    auto source = std::make_unique<bank::PoolSource>(std::move(pool));
    const bank::QuestionPool& opened = source->pool();
    figureColumnWidth_ = 480;
    if (const QScreen* shown = screen()) {
        // As wide as the screen leaves beside the controls, within reason.
        const int room = shown->availableGeometry().width() - surface_->width() - 24;
        figureColumnWidth_ = std::clamp(room, 300, 480);
    }
    figures_.clear();
    const QSize room = FigurePane::pictureRoom(figureColumnWidth_, surface_->height());
    for (auto figure = opened.figures.cbegin(); figure != opened.figures.cend(); ++figure)
        figures_.insert(figure.key(), FigurePane::decode(figure->data, figure->format, room));
    questionList_ = questionlist::poolList(opened);
    startExamFrom(*source);
    pool_ = std::move(source);
}

bool Form1::useBuiltInExam()
{
    if (!pool_ || !mayLeaveExam())
        return false;
    figures_.clear();
    questionList_.clear();
    startExamFrom(bank::builtInBank());
    pool_.reset();
    return true;
}

// Asks before an exam the learner has answered in is left; Yes leaves it.
bool Form1::mayLeaveExam()
{
    if (!answered_)
        return true;
    QMessageBox box(QMessageBox::Question, QStringLiteral("Leave This Exam?"),
                    QStringLiteral("You have answered questions in the exam on screen. Leave it "
                                   "and start a new exam?"),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setObjectName(QStringLiteral("leaveExamBox"));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

// A new exam from `source`, with nothing of the last one left on screen: no answer picked, no
// result, no solution.
void Form1::startExamFrom(const bank::QuestionSource& source)
{
    exam_.setSource(source);
    for (std::size_t i = 0; i < 4; ++i) {
        options_[i]->setAutoExclusive(false);
        options_[i]->setChecked(false);
        options_[i]->setAutoExclusive(true);
    }
    labels_[5]->clear();
    showExamSource();
    if (helpWindow_)
        helpWindow_->setQuestionList(questionList_, figures_);
    runExamHandler(&exam::Exam::Form_Load);
}

// The window's title and its pass mark name the exam on screen.
void Form1::showExamSource()
{
    const bank::QuestionSource& source = exam_.source();
    labels_[7]->setText(QStringLiteral("%1 correct out of %2 questions are needed to pass")
                            .arg(source.passMark())
                            .arg(source.groupCount()));
    const auto* poolSource = dynamic_cast<const bank::PoolSource*>(&source);
    if (poolSource == nullptr) {
        setWindowTitle(windowCaption);
        return;
    }
    const bank::QuestionPool& opened = poolSource->pool();
    QString title = QStringLiteral("%1 Class (Element %2) Question Pool")
                        .arg(opened.className())
                        .arg(opened.elementNumber());
    if (!opened.years.isEmpty())
        title += QLatin1Char(' ') + opened.years;
    setWindowTitle(title + QStringLiteral(" - QX9VEN"));
}

// The figure of the question on screen, in its column beside the question; the column goes
// when a question without one comes.
void Form1::showFigure()
{
    const QString name = exam_.source().figureName(exam_.groupNumber(), exam_.questionIndex());
    if (name.isEmpty()) {
        setFigureColumnShown(false);
        return;
    }
    const bool inFile = pool_ && pool_->pool().figures.contains(name);
    figurePane_->showFigure(name, figures_.value(name), inFile);
    setFigureColumnShown(true);
}

void Form1::setFigureColumnShown(bool shown)
{
    if (figurePane_->isVisibleTo(clientArea_) == shown)
        return;
    const QSize design = surface_->size();
    figurePane_->setGeometry(design.width(), 0, figureColumnWidth_, design.height());
    figurePane_->setVisible(shown);
    clientArea_->setFixedSize(design.width() + (shown ? figureColumnWidth_ : 0), design.height());
    scrollArea_->fitClientArea();
}

void Form1::Command3_Click()
{
    endProgram();
}

void Form1::Exit_Click()
{
    endProgram();
}

void Form1::treview_Click()
{
    runReferenceCommand(QStringLiteral("PRIMER.hlp"), "treview");
}

void Form1::geqlist_Click()
{
    runReferenceCommand(QStringLiteral("POOLLIST.hlp"), "geqlist");
}

void Form1::p97rules_Click()
{
    runReferenceCommand(QStringLiteral("REGBOOK.hlp"), "p97rules");
}

// Names the document as the application's help file and queues F1 for this window; the
// document opens when that key is handled, after the menu has closed and this has returned.
// The key goes to this window whichever window is active: with the viewer active and no
// window manager to hand the activation back, F1 sent there would be lost.
void Form1::runReferenceCommand(const QString& helpFileName, const char* itemName)
{
    helpfile::set(helpFileName);
    findChild<QAction*>(QString::fromLatin1(itemName))->setProperty("helpContextId", 0);
    QCoreApplication::postEvent(this, new QKeyEvent(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier));
}

void Form1::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        openHelpFile();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

HelpWindow& Form1::helpWindow()
{
    if (!helpWindow_) {
        helpWindow_ = HelpWindow::make(this);
        if (!questionList_.isEmpty())
            helpWindow_->setQuestionList(questionList_, figures_);
    }
    return *helpWindow_;
}

void Form1::openHelpFile()
{
    const QString name = helpfile::current();
    if (!name.isEmpty())
        helpWindow().showDocument(name);
}

void Form1::about2_Click()
{
    // A lone carriage return separates the two lines; the box breaks the line there.
    QString shown = aboutText();
    shown.replace(QChar(u'\r'), QChar(u'\n'));
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("About"), shown, QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("aboutBox"));
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}
