// The reports that replace the listing, and the common error exit of the calculation.
#include "calc/ambient/ambient_phases.h"

namespace humidora::ambient {

void GiveReport(AmbientControls& controls, const char* first_reason, const char* second_reason)
{
    for (ValueBox* box :
        { &controls.Text12, &controls.Text13, &controls.Text14, &controls.Text15, &controls.Text16 })
        box->text = "Error";
    controls.List1.lines = { "Error!", first_reason, second_reason };
    controls.List1.background = Background::Red;
}

void GiveOutOfRangeReport(AmbientControls& controls)
{
    GiveReport(controls, "The quantity which has been indicated", "by red color is out of allowable range.");
}

} // namespace humidora::ambient
