// render --ir: reads an impulse response from an audio file and hands it to Korvalite the way a
// project would, in a program chunk with the cabinet on User, so renders go through the
// plug-in's own path (resampling, loudness, convolution).
#pragma once

#include <string>

class PluginInstance;

// Throws HostError, with one line saying why, when the file cannot be used (unreadable, not audio,
// over 50 MB, empty, silent, not numbers, a rate outside 8 to 384 kHz) or the plug-in keeps no
// impulse response or refuses it; the plug-in is then unchanged.
void loadImpulseResponse(PluginInstance& plugin, const std::string& path);
