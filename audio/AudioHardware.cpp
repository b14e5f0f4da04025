#include "audio/AudioHardware.h"

AudioHardware::~AudioHardware() = default;
