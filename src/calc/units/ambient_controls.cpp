#include "calc/units/ambient_controls.h"

#include "calc/units/quantities.h"

#include <algorithm>

namespace humidora {
namespace {

// Position (from 0) in a name table of the entry whose member is `member`, or -1.
template <class Entry, std::size_t N, class Member>
int PositionIn(const std::array<Entry, N>& table, Member Entry::*field, Member member)
{
    for (std::size_t i = 0; member != nullptr && i < N; ++i) {
        if (table[i].*field == member)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace

Rgb BackgroundRgb(Background background)
{
    switch (background) {
    case Background::Standard:
        return { 255, 255, 255 };
    case Background::Cyan:
        return { 0, 255, 255 };
    case Background::Red:
        return { 255, 0, 0 };
    case Background::Yellow:
        return { 255, 255, 0 };
    case Background::LightRed:
        return { 255, 128, 128 };
    case Background::GreyGreen:
        return { 129, 177, 162 };
    case Background::LightOrange:
        return { 255, 192, 128 };
    }
    return { 255, 255, 255 };
}

const std::string& UnitList::text() const
{
    static const std::string none;
    if (selected < 0 || selected >= static_cast<int>(items.size()))
        return none;
    return items[static_cast<std::size_t>(selected)];
}

int UnitList::IndexOf(std::string_view item) const
{
    const auto it = std::find(items.begin(), items.end(), item);
    return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

AmbientControls::AmbientControls()
{
    for (const Quantity& quantity : kQuantities) {
        for (const UnitItem& unit : quantity.units)
            (this->*quantity.list).items.emplace_back(unit.key);
    }

    // The three inputs at start: temperature, barometric pressure, relative humidity.
    for (ValueBox* box : { &Text1, &Text2, &Text4 }) {
        box->locked = false;
        box->background = Background::Standard;
    }
    Text1.text = "25";
    Text2.text = "101.325";
    Text4.text = "50";
    Text2.font_size = 8.25;
    Text10.font_size = 6.75;

    for (std::size_t i = 0; i < kLimitLabels.size(); ++i) {
        // Label4, Label6, ... (even numbers) are maxima; Label5, Label7, ... minima.
        (this->*kLimitLabels[i].label).background = i % 2 == 0 ? Background::LightRed : Background::GreyGreen;
    }
    Label10.caption = "100";
    for (LimitLabel* label : { &Label11, &Label13, &Label15, &Label21, &Label23, &Label25 })
        label->caption = "0";
}

const std::array<NamedBox, 16> kValueBoxes = { {
    { "Text1", &AmbientControls::Text1 },
    { "Text2", &AmbientControls::Text2 },
    { "Text3", &AmbientControls::Text3 },
    { "Text4", &AmbientControls::Text4 },
    { "Text5", &AmbientControls::Text5 },
    { "Text6", &AmbientControls::Text6 },
    { "Text7", &AmbientControls::Text7 },
    { "Text8", &AmbientControls::Text8 },
    { "Text9", &AmbientControls::Text9 },
    { "Text10", &AmbientControls::Text10 },
    { "Text11", &AmbientControls::Text11 },
    { "Text12", &AmbientControls::Text12 },
    { "Text13", &AmbientControls::Text13 },
    { "Text14", &AmbientControls::Text14 },
    { "Text15", &AmbientControls::Text15 },
    { "Text16", &AmbientControls::Text16 },
} };

const std::array<NamedList, 16> kUnitLists = { {
    { "Combo1", &AmbientControls::Combo1 },
    { "Combo2", &AmbientControls::Combo2 },
    { "Combo3", &AmbientControls::Combo3 },
    { "Combo4", &AmbientControls::Combo4 },
    { "Combo5", &AmbientControls::Combo5 },
    { "Combo6", &AmbientControls::Combo6 },
    { "Combo7", &AmbientControls::Combo7 },
    { "Combo8", &AmbientControls::Combo8 },
    { "Combo9", &AmbientControls::Combo9 },
    { "Combo10", &AmbientControls::Combo10 },
    { "Combo11", &AmbientControls::Combo11 },
    { "Combo12", &AmbientControls::Combo12 },
    { "Combo13", &AmbientControls::Combo13 },
    { "Combo14", &AmbientControls::Combo14 },
    { "Combo15", &AmbientControls::Combo15 },
    { "Combo16", &AmbientControls::Combo16 },
} };

const std::array<NamedOption, 10> kOptions = { {
    { "Option1", &AmbientControls::Option1 },
    { "Option2", &AmbientControls::Option2 },
    { "Option3", &AmbientControls::Option3 },
    { "Option4", &AmbientControls::Option4 },
    { "Option5", &AmbientControls::Option5 },
    { "Option6", &AmbientControls::Option6 },
    { "Option7", &AmbientControls::Option7 },
    { "Option8", &AmbientControls::Option8 },
    { "Option9", &AmbientControls::Option9 },
    { "Option10", &AmbientControls::Option10 },
} };

const std::array<NamedLabel, 22> kLimitLabels = { {
    { "Label4", &AmbientControls::Label4 },
    { "Label5", &AmbientControls::Label5 },
    { "Label6", &AmbientControls::Label6 },
    { "Label7", &AmbientControls::Label7 },
    { "Label8", &AmbientControls::Label8 },
    { "Label9", &AmbientControls::Label9 },
    { "Label10", &AmbientControls::Label10 },
    { "Label11", &AmbientControls::Label11 },
    { "Label12", &AmbientControls::Label12 },
    { "Label13", &AmbientControls::Label13 },
    { "Label14", &AmbientControls::Label14 },
    { "Label15", &AmbientControls::Label15 },
    { "Label16", &AmbientControls::Label16 },
    { "Label17", &AmbientControls::Label17 },
    { "Label18", &AmbientControls::Label18 },
    { "Label19", &AmbientControls::Label19 },
    { "Label20", &AmbientControls::Label20 },
    { "Label21", &AmbientControls::Label21 },
    { "Label22", &AmbientControls::Label22 },
    { "Label23", &AmbientControls::Label23 },
    { "Label24", &AmbientControls::Label24 },
    { "Label25", &AmbientControls::Label25 },
} };

ValueBox& BoxOf(AmbientControls& controls, int number)
{
    return controls.*(kValueBoxes[static_cast<std::size_t>(number - 1)].box);
}
const ValueBox& BoxOf(const AmbientControls& controls, int number)
{
    return controls.*(kValueBoxes[static_cast<std::size_t>(number - 1)].box);
}
UnitList& ListOf(AmbientControls& controls, int number)
{
    return controls.*(kUnitLists[static_cast<std::size_t>(number - 1)].list);
}
const UnitList& ListOf(const AmbientControls& controls, int number)
{
    return controls.*(kUnitLists[static_cast<std::size_t>(number - 1)].list);
}
bool& OptionOf(AmbientControls& controls, int number)
{
    return controls.*(kOptions[static_cast<std::size_t>(number - 1)].option);
}
bool OptionOf(const AmbientControls& controls, int number)
{
    return controls.*(kOptions[static_cast<std::size_t>(number - 1)].option);
}

int BoxNumber(ValueBox AmbientControls::*box)
{
    return PositionIn(kValueBoxes, &NamedBox::box, box) + 1;
}
int ListNumber(UnitList AmbientControls::*list)
{
    return PositionIn(kUnitLists, &NamedList::list, list) + 1;
}
int OptionNumber(bool AmbientControls::*option)
{
    return PositionIn(kOptions, &NamedOption::option, option) + 1;
}
int LabelNumber(LimitLabel AmbientControls::*label)
{
    const int position = PositionIn(kLimitLabels, &NamedLabel::label, label);
    return position < 0 ? 0 : position + 4;
}

const std::array<int, 16> kMetricSelection = { 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0 };
const std::array<int, 16> kBritishSelection = { 2, 7, 2, 2, 0, 2, 2, 0, 0, 3, 7, 4, 1, 2, 2, 2 };

} // namespace humidora
