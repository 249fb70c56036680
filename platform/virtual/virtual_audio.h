// Test control of the virtual audio devices: they "play" only when a test advances them,
// so the effects pump and the music thread can be checked to the byte.
#pragma once
#include <cstdint>
#include <vector>

struct AudioDevice;

// Makes the next opens fail, as when the system has no usable output.
void virtual_audio_refuse_open(bool refuse);

// Devices currently open, oldest first.
std::vector<AudioDevice*> virtual_audio_open_devices();
int virtual_audio_open_count();

int virtual_audio_rate(AudioDevice* device);
// The buffer last submitted (null when none is held), its size and loop flag.
const void* virtual_audio_buffer(AudioDevice* device);
uint32_t virtual_audio_buffer_bytes(AudioDevice* device);
bool virtual_audio_looping(AudioDevice* device);
int virtual_audio_submissions(AudioDevice* device);

// Plays bytes of the held buffer; a buffer played once is released at its end, a looping one
// goes round. Safe to call while another thread uses the device.
void virtual_audio_advance(AudioDevice* device, uint32_t bytes);
