#!/usr/bin/python3
"""Takes a short exam by keyboard alone with the Orca screen reader listening, and checks what
Orca said. Run by scripts/screenreader inside its own X server and session bus.

usage: screenreader-drive.py PROGRAM ORCA_LOG

Every utterance Orca makes is written to its debug log as a line "SPEECH OUTPUT: '...'". Each
key press waits until the speech that follows it has settled, then the steps below check the
utterances since the press. The path through the exam:
  the window takes the focus -> the first question and answer choice A
  Down three times           -> answer choices B, C and D
  Tab, Return on Solve       -> the solution (QUIZ Mode)
  a wrong answer, Submit     -> WRONG, on Continue
  Return on Continue         -> the next question
  Learning Mode, Solve       -> the solution
  the right answer, Submit   -> Correct, and the next question with its solution
  ... every question right to the end, then Submit -> the end-of-exam question, Yes and No
  Yes                        -> a new exam
  Alt, Help, About           -> the About box
  Alt, Theory, THEORY REVIEW -> the viewer: its title, the document as text, its first heading
  Down three times           -> three lines of the document
  Tab, Tab                   -> two links, each by its text
  Return                     -> the link is followed: the heading it leads to
  Alt+S                      -> the search field, by its label
  a phrase, Return           -> how many topics hold it, the list, the first result
  Down                       -> the next result
  Return                     -> the result opens: the document and the topic's heading
  F6, F6, Shift+F6 twice     -> the search field, the results, the field, the document
  Ctrl+W                     -> the viewer closes
  QUIT                       -> the program ends
  --pool a test pool         -> its question 1 of 35 with its figure's name, a right answer,
                                a wrong one, QUIT
"""

import html
import os
import re
import subprocess
import sys
import time

PROGRAM, LOG = sys.argv[1], sys.argv[2]
SPEECH = re.compile(r"SPEECH OUTPUT: '(.*?)'(?: ?\{|$)", re.S)
failures = []
heard_all = []


def utterances():
    try:
        with open(LOG, encoding="utf-8", errors="replace") as log:
            text = log.read()
    except FileNotFoundError:
        return []
    return [m.group(1) for m in SPEECH.finditer(text)]


def settle(before, quiet=0.8, limit=8.0):
    """Waits until Orca has said nothing new for `quiet` seconds; returns what it said."""
    start = last_change = time.monotonic()
    count = len(utterances())
    while time.monotonic() - start < limit:
        time.sleep(0.1)
        now = len(utterances())
        if now != count:
            count, last_change = now, time.monotonic()
        elif now > before and time.monotonic() - last_change >= quiet:
            break
    said = utterances()[before:]
    # Orca echoes each key it hears; that is not what the program said.
    said = [s for s in said if not re.fullmatch(r"[a-z ]+ ", s)]
    heard_all.extend(said)
    return said


class OrcaEnded(Exception):
    pass


orca = None


def press(*keys):
    # Orca has been seen to end in the middle of a run; nothing said after that is heard.
    if orca is not None and orca.poll() is not None:
        raise OrcaEnded(f"Orca ended with status {orca.returncode} during the run")
    before = len(utterances())
    subprocess.run(["xdotool", "key", "--delay", "150", *keys], check=True)
    return settle(before)


def refocus(window):
    before = len(utterances())
    subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)
    return settle(before)


def check(what, said, pattern):
    text = "\n".join(said)
    found = re.search(pattern, text, re.S | re.M)
    print(f"  [{'ok' if found else 'MISSING'}] {what}")
    if not found:
        failures.append(what)
    return found


def step(title, said):
    print(f"\n== {title}")
    for line in said:
        print(f"   Orca: {line}")


def solution_letter(said):
    found = re.search(r"Solution: ([A-D])\.", "\n".join(said))
    return found.group(1) if found else None


def type_text(text):
    before = len(utterances())
    subprocess.run(["xdotool", "type", "--delay", "80", text], check=True)
    return settle(before)


def first_words(document, count):
    """The first `count` words of the first paragraph of a help document beside the program."""
    with open(os.path.join(os.path.dirname(PROGRAM), document), encoding="utf-8") as source:
        paragraph = re.search(r"<p>(.*?)</p>", source.read(), re.S).group(1)
    text = html.unescape(re.sub(r"<[^>]+>", "", paragraph))
    return " ".join(text.split()[:count])


def answer(letter):
    """From the first answer choice, selects `letter` with Space and presses Submit Answer.
    The arrow keys move the focus through the choices; they select only when the choice they
    leave was selected."""
    said = []
    for _ in range("ABCD".index(letter)):
        said += press("Down")
    said += press("space")
    return said, press("Tab", "Tab", "Return")


# Orca writes its debug log through a block-buffered file, so a line can wait in memory for
# minutes. Started through this, it writes each line as it is made. Orca's launcher also looks
# for every process named orca of the same user, on the whole machine: it refuses to start
# beside one, and with --replace kills them all. Started through this, it keeps the name of its
# interpreter and sees no other Orca, so that runs of other sessions and this one leave each
# other alone.
ORCA_LINE_BUFFERED = """
import builtins, runpy, sys
log, real_open = sys.argv[1], builtins.open
def open_log_line_buffered(file, mode="r", *args, **kwargs):
    if file == log and "w" in mode and not args:
        kwargs["buffering"] = 1
    return real_open(file, mode, *args, **kwargs)
builtins.open = open_log_line_buffered
sys.argv = ["orca", "--debug-file", log, "--enable=speech"]
launcher = runpy.run_path("/usr/bin/orca", run_name="orca_launcher")["main"]
launcher.__globals__["otherOrcas"] = lambda: []
launcher.__globals__["setProcessName"] = lambda name: None
sys.exit(launcher())
"""


TITLES = r"(Theory Review|Part 97 Rules as They Stood in 2000-2003|General Exam Question List)"


def read_documents():
    """The theory review by keyboard: open it, read lines, follow a link, search, open a result."""
    step("Alt, Right to Theory, Down to THEORY REVIEW, Return",
         said := press("alt", "Right", "Down", "Return"))
    check("the viewer's title", said, r"^Theory Review - PRIMER\.hlp\.$")
    check("the document as read-only text, and its first heading", said,
          r"^Theory Review read only text\.\nTheory Review\.?$")

    step("Down, Down, Down: three lines", said := press("Down") + press("Down") + press("Down"))
    check("the first line of the text", said, "^" + re.escape(first_words("PRIMER.hlp", 4)))
    check("three lines", said, r"^\S[^\n]*\n\S[^\n]*\n\S")

    step("Tab, Tab: from link to link", said := press("Tab") + press("Tab"))
    check("a link by its text, selected", said, r"^[^\n]+\nselected$")
    check("the next link", said, r"unselected\n[^\n]+\nselected")
    link = re.findall(r"^([^\n]+)\nselected$", "\n".join(said), re.M)
    step("Return: the link is followed", said := press("Return"))
    check("the heading it leads to, selected", said,
          rf"^{re.escape(link[-1]) if link else 'NO LINK'}\nselected$")

    step("Alt+S: the search field", said := press("alt+s"))
    check("the field by its label", said, r"Search all documents: text")
    phrase = '"gray line"'
    said = type_text(phrase)
    step(f"Type {phrase} and press Return", said := press("Return"))
    check("how many topics hold it", said, r"notification \d+ topics? found\.")
    check("the list of results", said, r"Search results\.")
    check("the first result: document and heading", said, rf"^{TITLES}: \S")
    check("a line of text around the match", said, r"(?i)gray line")
    step("Down: the next result", said := press("Down"))
    check("another result: document and heading", said, rf"^{TITLES}: \S")
    heading = re.search(rf"^{TITLES}: ([^\n]+?)\.?$", "\n".join(said), re.M)
    step("Return: the result opens", said := press("Return"))
    check("the document as read-only text", said, rf"^{TITLES} read only text\.$")
    if heading:
        check("the topic's heading", said,
              re.escape(heading.group(2).split()[0]) + r"[^\n]* selected\.?$")

    step("F6: from the document to the search field", said := press("F6"))
    check("the field by its label", said, r"Search all documents: text")
    step("F6: the search results", said := press("F6"))
    check("the list with its current result", said, rf"Search results|^{TITLES}: \S")
    step("Shift+F6, Shift+F6: back to the document", said := press("shift+F6") + press("shift+F6"))
    check("the search field on the way", said, r"Search all documents: text")
    check("the document as read-only text", said, rf"{TITLES} read only text")

    step("Ctrl+W: the viewer closes", press("ctrl+w"))


def ended_by_quit(program, what):
    """Checks that QUIT ended the program with status 0."""
    try:
        program.wait(timeout=10)
        print(f"  [{'ok' if program.returncode == 0 else 'MISSING'}] the program ended "
              f"with status {program.returncode}")
        if program.returncode != 0:
            failures.append(what)
    except subprocess.TimeoutExpired:
        print("  [MISSING] the program did not end on QUIT")
        failures.append(what)


def end(program):
    if program.poll() is None:
        program.kill()
        program.wait()


POOL = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data", "pools",
                    "e2e-technician.txt")


def take_pool_exam():
    """A question pool opened with --pool: its question with its figure's name, and results."""
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
    program = subprocess.Popen([PROGRAM, "--pool", POOL], env=env)
    try:
        window = subprocess.run(["xdotool", "search", "--sync", "--name",
                                 r"^Technician Class \(Element 2\) Question Pool 2026-2030"],
                                capture_output=True, text=True, timeout=20).stdout.split()[0]
        step("A pool's exam: the window takes the focus", said := refocus(window))
        check("the pool's question 1 of its 35", said, r"Question 1 of 35: A log shows")
        check("the figure's name", said, r"Figure T1 is shown beside the question\.")
        check("answer choice A by its text", said, r"^A\.  \d+")

        step("Tab to Solve and press Return", said := press("Tab", "Return"))
        key = re.search(r"notification ([A-D])\.", "\n".join(said))
        key = key.group(1) if key else "A"
        press("shift+Tab", "Up", "Up", "Up")
        picked, said = answer(key)
        step(f"The right answer ({key}), then Submit Answer", picked + said)
        check("Correct, then the pool's question 2", said, r"Correct\. Question 2 of 35: \S")
        check("the number correct", said, r"1 correct so far")

        step("Tab to Solve and press Return", said := press("Tab", "Return"))
        key = re.search(r"notification ([A-D])\.", "\n".join(said))
        key = key.group(1) if key else "A"
        wrong = "ABCD"[("ABCD".index(key) + 1) % 4]
        press("shift+Tab", "Up", "Up", "Up")
        picked, said = answer(wrong)
        step(f"A wrong answer ({wrong}), then Submit Answer", picked + said)
        check("WRONG, on Continue", said, r"Continue push button.*WRONG\.")

        step("Return on Continue, then Tab to QUIT and Return",
             said := press("Return") + press("Tab", "Tab", "Tab", "Return"))
        check("the pool's question 3", said, r"Question 3 of 35: \S")
        ended_by_quit(program, "QUIT in the pool's exam")
    finally:
        end(program)


def main():
    global orca
    orca = subprocess.Popen(["/usr/bin/python3", "-c", ORCA_LINE_BUFFERED, LOG],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        return take_exam()
    except OrcaEnded as ended:
        print(f"\n{ended}: the run cannot go on.")
        return 1
    finally:
        orca.terminate()
        try:
            orca.wait(timeout=10)
        except subprocess.TimeoutExpired:
            orca.kill()
            orca.wait()


def take_exam():
    # Wait for Orca to come up before the program starts.
    for _ in range(100):
        if any("Screen reader on" in s for s in utterances()):
            break
        time.sleep(0.2)
    else:
        print("Orca did not start", file=sys.stderr)
        return 2

    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
    program = subprocess.Popen([PROGRAM], env=env)
    try:
        window = subprocess.run(["xdotool", "search", "--sync", "--name",
                                 "^QX9VEN General Class Theory$"],
                                capture_output=True, text=True, timeout=20).stdout.split()[0]
        step("The window takes the focus", said := refocus(window))
        check("question 1 with its number and text", said, r"Question 1 of 35: \S.+\?")
        check("answer choice A by its text", said, r"^A\.  \S")
        check("the number correct", said, r"0 correct so far")

        step("Down, Down, Down: the other answer choices", said := press("Down") +
             press("Down") + press("Down"))
        for letter in "BCD":
            check(f"answer choice {letter} by its text", said, rf"^{letter}\.  \S")

        step("Tab to Solve and press Return (QUIZ Mode)", said := press("Tab", "Return"))
        check("the solution", said, r"^notification [A-D]\.  \S")
        key = re.search(r"notification ([A-D])\.", "\n".join(said))
        key = key.group(1) if key else "A"

        # Back to the answer choices, up to A, and a wrong answer.
        press("shift+Tab", "Up", "Up", "Up")
        wrong = "ABCD"[("ABCD".index(key) + 1) % 4]
        picked, said = answer(wrong)
        step(f"A wrong answer ({wrong}), then Submit Answer", picked + said)
        check("WRONG, on Continue", said, r"Continue push button.*WRONG\.")

        step("Return on Continue", said := press("Return"))
        check("question 2 with its number and text", said, r"Question 2 of 35: \S")
        check("the number correct", said, r"0 correct so far")

        # Tab to the mode, pick Learning Mode, and back to Solve.
        press("Tab", "Tab", "Tab", "Tab")
        step("Learning Mode", said := press("Down"))
        check("Learning Mode chosen", said, r"Learning Mode")
        step("Back to Solve and press Return (Learning Mode)",
             said := press("shift+Tab", "shift+Tab", "shift+Tab", "Return"))
        check("the solution", said, r"^notification [A-D]\.  \S")
        key = re.search(r"notification ([A-D])\.", "\n".join(said))
        key = key.group(1) if key else "A"

        # To the answer choices, up to A, then the right one.
        step("Back to the answer choices, up to A", said := press("shift+Tab") +
             press("Up", "Up", "Up"))
        picked, said = answer(key)
        step(f"Choice {key}", picked)
        step("Submit Answer", said)
        check("Correct, then question 3", said, r"Correct\. Question 3 of 35: \S")
        check("the solution with the new question", said, r"Solution: [A-D]\.  \S")
        check("the number correct", said, r"1 correct so far")

        explanation_heard = "Explanation: " in "\n".join(said)
        for number in range(4, 37 if os.environ.get("QX_SR_WHOLE", "1") == "1" else 4):
            key = solution_letter(said) or "A"
            _, said = answer(key)
            explanation_heard |= "Explanation: " in "\n".join(said)
            if number <= 35 and not re.search(rf"Correct\. Question {number} of 35", "\n".join(said)):
                step(f"Question {number}", said)
                check(f"Correct, then question {number}", said, rf"Correct\. Question {number} of 35")
        step("After the last question", said)
        check("the end of the questions", said, r"That was the last question")
        check("the number correct", said, r"34 correct so far")
        print(f"\n== Explanations: {'heard' if explanation_heard else 'none drawn in this exam'}")
        if not explanation_heard:
            print("  (the exam drew no question with an explanation; not counted as a fault)")

        step("Submit Answer at the end", said := press("Tab", "Tab", "Return"))
        check("the end-of-exam question", said, r"Exam Over\. Do you want to continue\?")
        check("its Yes button", said, r"Yes push button")
        step("Tab", said := press("Tab"))
        check("its No button", said, r"No push button")
        # With no window manager here, nothing gives the exam window the focus back when a box
        # closes; a desktop does that itself.
        press("shift+Tab", "Return")
        step("Back to Yes and press Return; the window has the focus again",
             said := refocus(window))
        check("a new exam from question 1", said, r"Question 1 of 35: \S")

        step("Alt, Left to Help, Down to About, Return", said := press("alt", "Left", "Down",
                                                                       "Return"))
        check("the About box", said, r"alert About.*QX9VEN General Class Theory, a practice exam")
        check("its OK button", said, r"OK push button")
        press("Return")
        refocus(window)

        read_documents()
        refocus(window)

        # The focus is back on the first answer choice; QUIT is the third stop after it.
        step("Tab to QUIT and press Return", said := press("Tab", "Tab", "Tab", "Return"))
        ended_by_quit(program, "QUIT")
    finally:
        end(program)

    take_pool_exam()

    print(f"\n{len(heard_all)} utterances heard.")
    if failures:
        print("Not heard: " + "; ".join(failures))
        return 1
    print("Everything on the list was heard.")
    return 0


if __name__ == "__main__":
    sys.exit(main())
