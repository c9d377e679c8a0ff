// The five event sounds, synthesised as 16-bit mono PCM WAV files.
#pragma once
#include <QString>
namespace artgen {
void writeSounds(const QString& folder);
}
