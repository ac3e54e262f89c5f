#include "soundgen/Score.h"

#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>

#include "soundgen/Dsp.h"

namespace soundgen {

namespace {

struct TInstrumentName {
    const char* name;
    EInstrument instrument;
};
constexpr TInstrumentName kInstruments[] = {
    {"pluck", EInstrument::Pluck}, {"lead", EInstrument::Lead}, {"bass", EInstrument::Bass},
    {"pad", EInstrument::Pad},     {"bell", EInstrument::Bell}, {"mallet", EInstrument::Mallet},
    {"trill", EInstrument::Trill}, {"kick", EInstrument::Kick}, {"snare", EInstrument::Snare},
    {"hat", EInstrument::Hat},
};

struct TPattern {
    int bars = 0;
    int line = 0;
    std::vector<TNoteEvent> events;  // start steps from the pattern's start
    std::map<int, long> filled;      // voice -> steps written so far
};

// Reads the score line by line; each method reports failures through Fail.
class CScoreReader {
public:
    CScoreReader(std::string_view name, TScore& out, std::string& error) : m_name(name), m_out(out), m_error(error) {}

    bool Read(std::string_view text) {
        std::size_t start = 0;
        while (start <= text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string_view::npos) end = text.size();
            ++m_line;
            if (!ReadLine(Words(text.substr(start, end - start)))) return false;
            start = end + 1;
        }
        if (m_pattern) return Fail("pattern '" + m_patternName + "' has no end");
        if (!m_sawSong || m_out.totalSteps == 0) return Fail("no song");
        return true;
    }

private:
    bool Fail(const std::string& what) {
        m_error = std::string(m_name) + ":" + std::to_string(m_line) + ": " + what;
        return false;
    }

    static std::vector<std::string> Words(std::string_view line) {
        std::vector<std::string> words;
        std::istringstream in{std::string(line)};
        for (std::string w; in >> w;) {
            if (w.rfind("//", 0) == 0 || w[0] == '#') break;
            words.push_back(w);
        }
        return words;
    }

    static bool Number(const std::string& word, double& value) {
        char* end = nullptr;
        value = std::strtod(word.c_str(), &end);
        return end && *end == '\0' && end != word.c_str() && std::isfinite(value);
    }

    bool NumberIn(const std::string& word, double low, double high, double& value) {
        if (!Number(word, value) || value < low || value > high)
            return Fail("'" + word + "' is not a number within " + std::to_string(low) + ".." + std::to_string(high));
        return true;
    }

    long StepsPerBar() const { return static_cast<long>(m_out.beatsPerBar) * m_out.stepsPerBeat; }

    int FindVoice(const std::string& name) const {
        for (std::size_t i = 0; i < m_out.voices.size(); ++i)
            if (m_out.voices[i].name == name) return static_cast<int>(i);
        return -1;
    }

    bool ReadLine(const std::vector<std::string>& w) {
        if (w.empty()) return true;
        if (m_pattern) return w[0] == "end" ? ClosePattern() : ReadPatternLine(w);
        if (m_sawSong) return ReadSection(w);
        const std::string& key = w[0];
        double v = 0.0;
        if (key == "tempo" && w.size() == 2) {
            if (!NumberIn(w[1], 20.0, 400.0, v)) return false;
            m_out.tempo = v;
        } else if (key == "meter" && w.size() == 3) {
            double steps = 0.0;
            if (!NumberIn(w[1], 1.0, 16.0, v) || !NumberIn(w[2], 1.0, 16.0, steps)) return false;
            m_out.beatsPerBar = static_cast<int>(v);
            m_out.stepsPerBeat = static_cast<int>(steps);
        } else if (key == "loop" && w.size() == 2 && (w[1] == "yes" || w[1] == "no")) {
            m_out.loop = w[1] == "yes";
        } else if (key == "tail" && w.size() == 2) {
            if (!NumberIn(w[1], 0.0, 10.0, m_out.tailSeconds)) return false;
        } else if (key == "level" && w.size() == 2) {
            if (!NumberIn(w[1], -40.0, -1.0, m_out.levelDb)) return false;
        } else if (key == "swing" && w.size() == 2) {
            if (!NumberIn(w[1], 0.0, 0.5, m_out.swing)) return false;
        } else if (key == "seed" && w.size() == 2) {
            if (!NumberIn(w[1], 1.0, 4294967295.0, v)) return false;
            m_out.seed = static_cast<std::uint32_t>(v);
        } else if (key == "voice") {
            return ReadVoice(w);
        } else if (key == "pattern" && w.size() == 3) {
            if (m_patterns.count(w[1])) return Fail("pattern '" + w[1] + "' is defined twice");
            if (!NumberIn(w[2], 1.0, 64.0, v)) return false;
            m_patternName = w[1];
            m_pattern = &m_patterns[w[1]];
            m_pattern->bars = static_cast<int>(v);
            m_pattern->line = m_line;
        } else if (key == "song" && w.size() == 1) {
            m_sawSong = true;
        } else {
            return Fail("cannot read '" + key + "' here");
        }
        return true;
    }

    bool ReadVoice(const std::vector<std::string>& w) {
        if (w.size() < 3 || w.size() % 2 == 0) return Fail("a voice needs a name, an instrument and value pairs");
        if (FindVoice(w[1]) >= 0) return Fail("voice '" + w[1] + "' is defined twice");
        TVoice voice;
        voice.name = w[1];
        bool known = false;
        for (const auto& i : kInstruments)
            if (w[2] == i.name) {
                voice.instrument = i.instrument;
                known = true;
            }
        if (!known) return Fail("unknown instrument '" + w[2] + "'");
        for (std::size_t i = 3; i + 1 < w.size(); i += 2) {
            double* field = w[i] == "gain"     ? &voice.gain
                            : w[i] == "reverb" ? &voice.reverb
                            : w[i] == "tone"   ? &voice.tone
                                               : nullptr;
            if (!field) return Fail("unknown voice setting '" + w[i] + "'");
            if (!NumberIn(w[i + 1], 0.0, 2.0, *field)) return false;
        }
        m_out.voices.push_back(voice);
        return true;
    }

    bool ReadPatternLine(const std::vector<std::string>& w) {
        const int voice = FindVoice(w[0]);
        if (voice < 0) return Fail("unknown voice '" + w[0] + "'");
        long& at = m_pattern->filled[voice];
        const bool drum = IsDrum(m_out.voices[voice].instrument);
        for (std::size_t i = 1; i < w.size(); ++i)
            if (!(drum ? ReadDrumWord(voice, w[i], at) : ReadNoteWord(voice, w[i], at))) return false;
        return true;
    }

    bool ReadDrumWord(int voice, const std::string& word, long& at) {
        for (char c : word) {
            if (c == 'x' || c == 'X' || c == 'o') {
                TNoteEvent e;
                e.voice = voice;
                e.startStep = at;
                e.lengthSteps = 1;
                e.velocity = c == 'X' ? 1.0f : (c == 'o' ? 0.7f : 0.8f);
                e.stroke = c == 'o' ? 'o' : 'x';
                m_pattern->events.push_back(e);
            } else if (c != '.' && c != '|') {
                return Fail(std::string("'") + c + "' is not a drum step (x X o . |)");
            }
            ++at;
        }
        return true;
    }

    bool ReadNoteWord(int voice, std::string word, long& at) {
        float velocity = 0.8f;
        if (!word.empty() && (word.back() == '!' || word.back() == '?')) {
            velocity = word.back() == '!' ? 1.0f : 0.55f;
            word.pop_back();
        }
        int& length = m_lastLength[voice];
        if (length == 0) length = m_out.stepsPerBeat;
        const std::size_t slash = word.find('/');
        if (slash != std::string::npos) {
            double steps = 0.0;
            if (!NumberIn(word.substr(slash + 1), 1.0, 1024.0, steps)) return false;
            length = static_cast<int>(steps);
            word.resize(slash);
        }
        if (word != "r") {
            TNoteEvent e;
            e.voice = voice;
            e.startStep = at;
            e.lengthSteps = length;
            e.velocity = velocity;
            for (std::size_t from = 0; from <= word.size();) {
                std::size_t plus = word.find('+', from);
                if (plus == std::string::npos) plus = word.size();
                const int note = ParseNoteName(std::string_view(word).substr(from, plus - from));
                if (note < 0) return Fail("'" + word + "' is not a note");
                e.notes.push_back(note);
                from = plus + 1;
            }
            m_pattern->events.push_back(e);
        }
        at += length;
        return true;
    }

    bool ClosePattern() {
        const long steps = m_pattern->bars * StepsPerBar();
        for (const auto& [voice, filled] : m_pattern->filled)
            if (filled != steps)
                return Fail("voice '" + m_out.voices[voice].name + "' fills " + std::to_string(filled) + " of the " +
                            std::to_string(steps) + " steps of pattern '" + m_patternName + "'");
        m_pattern = nullptr;
        m_lastLength.clear();
        return true;
    }

    // A section line: words that start together, each a chain of patterns ("a*3,b") played one
    // after another; every word must last as long as the first.
    bool ReadSection(const std::vector<std::string>& w) {
        long sectionSteps = -1;
        for (const std::string& word : w) {
            long steps = 0;
            for (std::size_t from = 0; from <= word.size();) {
                std::size_t comma = word.find(',', from);
                if (comma == std::string::npos) comma = word.size();
                if (!AddPatternRun(word.substr(from, comma - from), m_out.totalSteps + steps, steps)) return false;
                from = comma + 1;
            }
            if (sectionSteps >= 0 && steps != sectionSteps)
                return Fail("'" + word + "' lasts " + std::to_string(steps) + " steps, the section " +
                            std::to_string(sectionSteps));
            sectionSteps = steps;
        }
        m_out.totalSteps += sectionSteps;
        return true;
    }

    // Places "name" or "name*N" from step `at`; adds its length to `steps`.
    bool AddPatternRun(const std::string& run, long at, long& steps) {
        std::string name = run;
        double times = 1.0;
        const std::size_t star = run.find('*');
        if (star != std::string::npos) {
            if (!NumberIn(run.substr(star + 1), 1.0, 64.0, times)) return false;
            name.resize(star);
        }
        const auto found = m_patterns.find(name);
        if (found == m_patterns.end()) return Fail("unknown pattern '" + name + "'");
        const long patternSteps = found->second.bars * StepsPerBar();
        for (long r = 0; r < static_cast<long>(times); ++r)
            for (TNoteEvent e : found->second.events) {
                e.startStep += at + r * patternSteps;
                m_out.events.push_back(e);
            }
        steps += patternSteps * static_cast<long>(times);
        return true;
    }

    std::string_view m_name;
    TScore& m_out;
    std::string& m_error;
    int m_line = 0;
    std::map<std::string, TPattern> m_patterns;
    TPattern* m_pattern = nullptr;
    std::string m_patternName;
    std::map<int, int> m_lastLength;  // voice -> the current default note length
    bool m_sawSong = false;
};

}  // namespace

bool IsDrum(EInstrument instrument) {
    return instrument == EInstrument::Kick || instrument == EInstrument::Snare || instrument == EInstrument::Hat;
}

int ParseNoteName(std::string_view text) {
    static constexpr int kOffsets[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G from C
    if (text.size() < 2 || text.size() > 3 || text[0] < 'A' || text[0] > 'G') return -1;
    int semitone = kOffsets[text[0] - 'A'];
    std::size_t i = 1;
    if (text[i] == '#' || text[i] == 'b') {
        semitone += text[i] == '#' ? 1 : -1;
        ++i;
    }
    if (i + 1 != text.size() || text[i] < '0' || text[i] > '8') return -1;
    return 12 * (text[i] - '0' + 1) + semitone;
}

std::size_t StepToSample(const TScore& score, double step) {
    const double seconds = step * 60.0 / (score.tempo * score.stepsPerBeat);
    return SamplesOf(seconds);
}

bool ParseScore(std::string_view text, std::string_view name, TScore& out, std::string& error) {
    out = TScore{};
    return CScoreReader(name, out, error).Read(text);
}

}  // namespace soundgen
