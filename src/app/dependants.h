// The rules that enable, disable and hide controls depending on others, and the control actions
// that work on the controls alone.
#ifndef ALBUMORA_APP_DEPENDANTS_H_
#define ALBUMORA_APP_DEPENDANTS_H_

#include "ui/controls.h"

namespace albumora {

void UpdateHtmlPhpDependants(Controls& controls);
void ApplyFixedUiRestrictions(Controls& controls);
void UpdateMetaTagDependants(Controls& controls);
void UpdateCssDependants(Controls& controls);
void UpdateWebalbumDependants(Controls& controls);

// Runs the action of a control event when it touches only the controls (labels 26/27, spin
// texts 28/29, the 80/81 exclusion and the dependant rules). Returns false for every other
// control: those either start a command (requesters, run, quit) or have no action.
bool RunControlRule(Controls& controls, int control);

}  // namespace albumora

#endif  // ALBUMORA_APP_DEPENDANTS_H_
