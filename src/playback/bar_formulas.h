#pragma once
// The arithmetic of the seek and volume bars: where a knob stands for a
// position or a volume, and what a knob left (or a pointer x) means. Lengths
// are pixels inside the track; span is the room the knob has (track width
// minus knob width). Pure, so the bars, the keyboard and the poll agree.
namespace qarvel::playback {

// Where a release on the seek bar happened; each seeks a little differently.
enum class SeekRelease {
    Track,       // the bare track: the mapped position
    Knob,        // the knob: two seconds earlier once past 2 px
    PlayedPart,  // the played or downloaded part: always two seconds earlier
};

// Knob left for a position; 0 while the length is unknown.
int knobForPosition(double position, int duration, int span);
// Position for a knob left, rounded to the nearest second (halves to even),
// with the release's correction. 0 when the knob has no room.
int positionForKnob(int left, int span, int duration, SeekRelease where);

// Volume (truncated toward zero) for a volume knob left; 0 when it has no room.
int volumeForKnob(int left, int span);
// Volume knob left for a volume.
int knobForVolume(int volume, int span);

// Knob left after a press on the bare volume track at pointer x: the pointer,
// at most the span.
int volumeKnobForTrackPress(int x, int span);
// A knob left kept within 0 … span.
int clampKnob(int left, int span);

}  // namespace qarvel::playback
