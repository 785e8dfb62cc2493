#include "ProjectDefiner.h"
