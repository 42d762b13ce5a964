// The entry point of the sound part file.
#include "ui/modules/PartEntries.h"
#include "ui/modules/PortAudioSound.h"

zp::SoundService* zorvikMakeSoundService()
{
    return new zp::PortAudioSound;
}
