// The common error exit of the calculation.
#include "calc/ambient_phases.h"

namespace humidora::ambient {

void GiveOutOfRangeReport(AmbientControls& controls)
{
    for (ValueBox* box :
        { &controls.Text12, &controls.Text13, &controls.Text14, &controls.Text15, &controls.Text16 })
        box->text = "Error";
    controls.List1.lines = {
        "Error!",
        "The quantity which has been indicated",
        "by red color is out of allowable range.",
    };
    controls.List1.background = Background::Red;
}

} // namespace humidora::ambient
