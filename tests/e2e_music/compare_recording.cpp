// Finds a rendered song (16-bit stereo WAV as quibbet-xm writes it) inside a raw 16-bit stereo
// recording of the same song played through a sound server at the same rate and full volume,
// where it must appear frame for frame. The one thing a busy machine may add is a dropout: when
// the server's own audio thread runs late it plays silence, sometimes over a few frames of the
// song, and sometimes it only drops a few frames with no silence at all. The player itself never
// writes silence into a playing song and never loses less than a whole chunk, so a player that
// fell behind (the ring would replay old sound), lost a chunk, or mixed anything differently
// shows up as frames that are neither the song nor a dropout. Exit 0 when the song is there.
#include "recording_frames.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <unordered_map>
#include <vector>

namespace {
constexpr long RESYNC_FRAMES = 256;         // frames that must agree again after a gap
constexpr long MAX_GAP_FRAMES = 48000;      // one second of inserted silence at most
constexpr long MAX_LOST_FRAMES = 4096;      // song frames a dropout may swallow beyond its length
constexpr long MAX_SILENT_LOSS = 256;       // frames a dropout without silence may drop: under a chunk
constexpr long MAX_START_LOSS = 1023;       // song frames a late stream start may lose: under a chunk
constexpr long START_SEARCH_FRAMES = 96000; // the song starts within two seconds of the first sound

bool agrees(const std::vector<Frame>& song, const std::vector<Frame>& rec, long i, long j, long count) {
    const long song_end = static_cast<long>(song.size());
    if (j < 0 || j + std::min(count, song_end - i) > static_cast<long>(rec.size())) return false;
    for (long k = 0; k < count && i + k < song_end; ++k)
        if (song[static_cast<size_t>(i + k)] != rec[static_cast<size_t>(j + k)]) return false;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: compare_recording RENDER.wav RECORDING.raw\n", stderr);
        return 2;
    }
    const std::vector<Frame> song = read_frames(argv[1], WAV_HEADER_BYTES), rec = read_frames(argv[2], 0);
    std::printf("render %zu frames, recording %zu frames\n", song.size(), rec.size());
    const long song_start = first_sound(song), rec_start = first_sound(rec);
    if (song_start < 0 || rec_start < 0) {
        std::puts("no sound in the render or the recording");
        return 1;
    }
    // The recording's first sound is the song's first sound, or a little later in the song: a
    // stream that starts while the server is busy may lose its first frames to the leading silence,
    // as a dropout does.
    std::unordered_multimap<Frame, long> song_opening;
    for (long i = song_start; i <= song_start + MAX_START_LOSS && i < static_cast<long>(song.size()); ++i)
        song_opening.emplace(song[static_cast<size_t>(i)], i);
    long offset = -1, first = -1;
    for (long j = rec_start;
         j < rec_start + START_SEARCH_FRAMES && j < static_cast<long>(rec.size()) && offset < 0; ++j) {
        const auto [from, to] = song_opening.equal_range(rec[static_cast<size_t>(j)]);
        for (auto at = from; at != to; ++at)
            if (agrees(song, rec, at->second, j, RESYNC_FRAMES) && (first < 0 || at->second < first)) {
                first = at->second;
                offset = j - first;
            }
    }
    if (offset < 0) {
        std::puts("the song's beginning is not in the recording");
        return 1;
    }
    const long start_frame = offset + first;
    const long n = static_cast<long>(song.size());
    long gaps = first > song_start, silence_frames = 0, lost_frames = first - song_start;
    for (long i = first; i < n; ++i) {
        const long j = i + offset;
        if (j >= static_cast<long>(rec.size())) {
            std::printf("the recording stops at song frame %ld of %ld\n", i, n);
            return 1;
        }
        if (song[static_cast<size_t>(i)] == rec[static_cast<size_t>(j)]) continue;
        // Zeros that matched the song's own zeros may already belong to the gap: back up over them.
        long back = 0;
        while (i - back > first && song[static_cast<size_t>(i - back - 1)] == 0 &&
               rec[static_cast<size_t>(j - back - 1)] == 0)
            ++back;
        const long gap_start = j - back;
        long resume = gap_start;
        while (resume < static_cast<long>(rec.size()) && rec[static_cast<size_t>(resume)] == 0)
            ++resume;
        const long silence = resume - gap_start;
        // The song goes on after the silence, maybe missing what the silence overwrote.
        const long most_lost = silence > 0 ? silence + MAX_LOST_FRAMES : MAX_SILENT_LOSS;
        long found = -1;
        if (silence <= MAX_GAP_FRAMES)
            for (long next = i - back; next <= i - back + most_lost && next < n && found < 0; ++next)
                if (agrees(song, rec, next, resume, RESYNC_FRAMES)) found = next;
        if (found < 0) {
            std::printf("song frame %ld (%.3f s): the recording holds something else\n", i,
                        static_cast<double>(i) / 48000);
            return 1;
        }
        ++gaps;
        silence_frames += silence;
        lost_frames += found - (i - back);
        offset = resume - found;
        i = found - 1;
    }
    std::printf("the song is in the recording frame for frame from recording frame %ld, apart from %ld "
                "dropouts of the sound server (%ld frames of silence in place of %ld of the song)\n",
                start_frame, gaps, silence_frames, lost_frames);
    return 0;
}
