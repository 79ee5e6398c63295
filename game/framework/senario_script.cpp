// The scenario player's script: text shown step by step, the one-byte
// markers, and the command lines.
#include <algorithm>
#include <string>
#include <vector>

#include "framework/base/base_functions.h"
#include "game/framework/file_numbers.h"
#include "game/framework/resource_managers.h"
#include "game/framework/senario_object.h"
#include "platform/kernel/kernel.h"

namespace Object {

namespace {

Manager::CPrimitive2DObjectManager* Objects() { return Manager::CPrimitive2DObjectManager::GetInstance(); }

C2DFontObject* FontOf(const CSenarioObject& senario) {
    return dynamic_cast<C2DFontObject*>(Objects()->Get(senario.fontObjectId));
}

C2DScreenObject* ScreenOf(const std::map<int, int>& map, int key) {
    auto found = map.find(key);
    if (found == map.end()) return nullptr;
    return dynamic_cast<C2DScreenObject*>(Objects()->Get(found->second));
}

void ShowText(const CSenarioObject& senario, const char* text) {
    if (C2DFontObject* font = FontOf(senario)) font->SetText(text);
}

void AppendText(const CSenarioObject& senario, const char* bytes, size_t count) {
    C2DFontObject* font = FontOf(senario);
    if (font == nullptr) return;
    std::string text = font->GetText();
    text.append(bytes, count);
    font->SetText(text.c_str());
}

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

unsigned char Channel(const std::string& word) {
    return static_cast<unsigned char>(File::ReadClampedInt(word.c_str(), File::kColourChannel));
}

bool Fail(const std::string& message) {
    OutputDebugStringA(message.c_str());
    return false;
}

// One command line, split at spaces.
bool RunCommand(CSenarioObject& senario, const std::string& line, const std::vector<std::string>& words) {
    // A command short of a word it needs is not understood: nothing is read
    // from past its end.
    auto missing = [&] { return Fail("Unknown command:" + line); };
    // A number outside its range is not understood either.
    bool numbersRead = true;
    auto integer = [&](size_t index) {
        int value = 0;
        numbersRead = File::ReadInt(words[index].c_str(), File::kAnyInt, &value) && numbersRead;
        return value;
    };
    auto coordinate = [&](size_t index) {
        double value = 0.0;
        numbersRead = File::ReadReal(words[index].c_str(), File::kPixels, &value) && numbersRead;
        return value;
    };
    auto outOfRange = [&] { return Fail("Number out of range:" + line); };
    const std::string command = words.empty() ? std::string() : words[0];
    if (command == "set") {
        if (words.size() < 2) return missing();
        const std::string& what = words[1];
        if (what == "window") {
            if (words.size() < 5) return missing();
            const int id = integer(2);
            const double x = coordinate(3), y = coordinate(4);
            if (!numbersRead) return outOfRange();
            if (C2DScreenObject* window = ScreenOf(senario.windows, id)) {
                window->SetPosition(x, y);
                window->r = window->g = window->b = 255;
                window->alpha = 255;
            }
            return true;
        }
        if (what == "picture") {
            if (words.size() < 5) return missing();
            const int id = integer(2);
            const double x = coordinate(3), y = coordinate(4);
            if (!numbersRead) return outOfRange();
            if (C2DScreenObject* picture = ScreenOf(senario.pictures, id)) {
                picture->SetPosition(x, y);
                picture->alpha = words.size() > 5 ? Channel(words[5]) : 255;
                picture->r = words.size() > 6 ? Channel(words[6]) : 255;
                picture->g = words.size() > 7 ? Channel(words[7]) : 255;
                picture->b = words.size() > 8 ? Channel(words[8]) : 255;
                // Additive drawing, once on, stays on.
                if (words.size() > 9 && words[9] == "add") picture->additive = true;
            }
            return true;
        }
        if (what == "strpos") {
            if (words.size() < 4) return missing();
            const double x = coordinate(2), y = coordinate(3);
            if (!numbersRead) return outOfRange();
            if (C2DFontObject* font = FontOf(senario)) font->SetPosition(x, y);
            return true;
        }
        return Fail("Unknown command:set " + what);
    }
    if (command == "wait") {
        if (words.size() < 2) return missing();
        const int frames = integer(1);
        if (!numbersRead) return outOfRange();
        senario.waitCounter = std::max(0, frames);
        return true;
    }
    if (command == "fade") {
        if (words.size() < 2) return missing();
        const std::string& direction = words[1];
        if (direction != "out" && direction != "in") return Fail("Unknown command:fade " + direction);
        if (words.size() < 4) return missing();
        const int id = integer(2);
        const int step = integer(3);
        if (!numbersRead) return outOfRange();
        if (ScreenOf(senario.pictures, id) == nullptr) return Fail("Unknown id:fade " + words[2]);
        senario.fades[id] = CSenarioObject::Fade{direction == "out", step};
        return true;
    }
    if (command == "bgm") {
        if (words.size() < 2) return missing();
        if (senario.musicKey == 0) return true;
        Manager::CSoundManager* sounds = Manager::CSoundManager::GetInstance();
        const std::string& action = words[1];
        if (action == "play") sounds->Play(senario.musicKey, -1);
        else if (action == "pause" || action == "resume") sounds->TogglePause(senario.musicKey);
        else if (action == "stop") sounds->Stop(senario.musicKey);
        return true;
    }
    if (command == "se") {
        if (words.size() < 2) return missing();
        if (words[1] != "play") return true;
        if (words.size() < 3) return missing();
        const int id = integer(2);
        if (!numbersRead) return outOfRange();
        auto found = senario.effects.find(id);
        // Plays to its end before the frame goes on.
        if (found != senario.effects.end()) Manager::CSoundManager::GetInstance()->Play(found->second, 1);
        return true;
    }
    return Fail("Unknown command:" + command);
}

}  // namespace

bool CSenarioObject::ExecuteCommand() {
    unsigned position = readPosition + 1;
    unsigned end = position;
    while (end < scriptLength && !IsLineBreak(scriptText[end])) ++end;
    const std::string line(scriptText + position, end - position);
    while (end < scriptLength && IsLineBreak(scriptText[end])) ++end;
    readPosition = end;
    std::vector<std::string> words;
    size_t start = 0;
    while (start < line.size()) {
        const size_t space = line.find(' ', start);
        const size_t stop = space == std::string::npos ? line.size() : space;
        if (stop > start) words.push_back(line.substr(start, stop - start));
        start = stop + 1;
    }
    return RunCommand(*this, line, words);
}

bool CSenarioObject::Update(int held) {
    if (readPosition >= scriptLength && waitCounter == 0) return false;
    int steps = 1;
    if ((held & fastForwardMask) != 0) {
        steps = fastForwardSteps;
        if (pageEnd) {
            pageEnd = false;
            ShowText(*this, "");
        }
        waitForInput = false;
    }
    if (waitCounter != 0) {
        for (int i = 0; i < steps && waitCounter != 0; ++i) {
            StepFades();
            --waitCounter;
        }
        previousButtons = held;
        return true;
    }
    StepFades();
    const int keptSpeed = charSpeed;
    const int pressed = held & ~previousButtons;
    // A fresh press of the skip button shows the rest of the page at once.
    if (!pageEnd && !waitForInput && (pressed & textSkipMask) != 0) {
        charSpeed = 0;
        charCounter = 0;
    }
    if ((pressed & advanceMask) != 0) {
        if (pageEnd) {
            ShowText(*this, "");
            pageEnd = false;
        } else {
            waitForInput = false;
        }
    }
    for (;;) {
        if (steps <= 0 && charCounter > 0) break;
        if (readPosition >= scriptLength || pageEnd || waitForInput || waitCounter != 0) break;
        const char c = scriptText[readPosition];
        if (c == '*') {
            if (!ExecuteCommand()) {
                charSpeed = keptSpeed;
                return false;
            }
            continue;
        }
        if (c == ';') {
            while (readPosition < scriptLength && !IsLineBreak(scriptText[readPosition])) ++readPosition;
            if (readPosition < scriptLength && scriptText[readPosition] == '\r') ++readPosition;
            if (readPosition < scriptLength && scriptText[readPosition] == '\n') ++readPosition;
            continue;
        }
        if (c == '%') {
            // The line break after the mark is optional, and may be a lone LF.
            pageEnd = true;
            ++readPosition;
            if (readPosition < scriptLength && scriptText[readPosition] == '\r') ++readPosition;
            if (readPosition < scriptLength && scriptText[readPosition] == '\n') ++readPosition;
        } else if (c == '@') {
            waitForInput = true;
            ++readPosition;
        } else if (c == ' ') {
            ++readPosition;
        } else if (IsLineBreak(c)) {
            AppendText(*this, "\n", 1);
            while (readPosition < scriptLength && IsLineBreak(scriptText[readPosition])) ++readPosition;
        } else {
            // Only a lead byte starts a two-byte character; any other byte is
            // a character of its own.
            const unsigned size = IsShiftJisLeadByte(static_cast<unsigned char>(c)) ? 2 : 1;
            if (scriptLength - readPosition < size) {
                charSpeed = keptSpeed;
                return false;
            }
            AppendText(*this, scriptText + readPosition, size);
            readPosition += size;
        }
        charCounter = charSpeed;
        --steps;
    }
    charSpeed = keptSpeed;
    if (charCounter > 0) --charCounter;
    previousButtons = held;
    return true;
}

void CSenarioObject::StepFades() {
    std::vector<int> finished;
    for (const auto& [picture, fade] : fades) {
        C2DScreenObject* screen = ScreenOf(pictures, picture);
        if (screen == nullptr) {
            finished.push_back(picture);
            continue;
        }
        // Wide enough for any step the script gives.
        long long alpha = screen->alpha;
        const long long step = fade.step;
        if (!fade.out) {
            if (alpha + step >= 255) {
                finished.push_back(picture);
                alpha = 255 - step;
            }
            alpha += step;
        } else {
            if (alpha <= step) {
                finished.push_back(picture);
                alpha = step;
            }
            alpha -= step;
        }
        screen->alpha = static_cast<unsigned char>(std::clamp(alpha, 0LL, 255LL));
    }
    for (int picture : finished) fades.erase(picture);
}

void CSenarioObject::ClearFontObjectText() {
    readPosition = 0;
    waitCounter = 0;
    pageEnd = false;
    waitForInput = false;
    previousButtons = 0;
    charCounter = charSpeed;
    ShowText(*this, "");
}

}  // namespace Object
