// File > Properties: who and what a calculation is for. Kept in the calculation file beside the inputs,
// the state points and the processes, and printed in the report's title block. No toolkit.
#pragma once

#include <string>

namespace humidora {

struct ProjectProperties
{
    std::string project;  ///< project name, one line
    std::string engineer; ///< who made the calculation, one line
    std::string notes;    ///< free text; may hold line breaks

    bool empty() const { return project.empty() && engineer.empty() && notes.empty(); }
    bool operator==(const ProjectProperties&) const = default;
};

} // namespace humidora
