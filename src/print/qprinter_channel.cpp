#include "qprinter_channel.h"
