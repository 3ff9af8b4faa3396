// The measurement uncertainty in calculation files: kept exactly, left out while it is the default, older
// files read without it, and every bad member refused by name.
#include "io/calculation_file.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace humidora {
namespace {

UncertaintySettings Chosen()
{
    UncertaintySettings settings;
    settings.enabled = true;
    settings.temperature = 0.15;
    settings.humidity = 1.5;
    settings.pressure = 0;
    settings.form = AccuracyForm::Expanded;
    settings.form_coverage = 2.5;
    settings.coverage = 3;
    return settings;
}

TEST(UncertaintyFile, SettingsComeBackExactlyAndTheDefaultIsNotWritten)
{
    Calculation calculation { AmbientInputs {} };
    calculation.uncertainty = Chosen();
    const QByteArray json = CalculationJson(calculation);
    const CalculationRead read = ParseCalculation(json);
    ASSERT_TRUE(read) << read.problem.toStdString();
    EXPECT_EQ(read.calculation->uncertainty, Chosen());
    // The uncertainty alone keeps the inputs' version 1.
    EXPECT_EQ(QJsonDocument::fromJson(json).object()["version"].toInt(), 1);
    EXPECT_FALSE(SameCalculation(*read.calculation, Calculation { AmbientInputs {} }));

    // Switched off, the accuracies are still kept.
    calculation.uncertainty.enabled = false;
    EXPECT_EQ(
        ParseCalculation(CalculationJson(calculation)).calculation->uncertainty, calculation.uncertainty);

    // A calculation that never set it writes no member, and such a file (an older one) reads as off.
    const QByteArray plain = CalculationJson(Calculation { AmbientInputs {} });
    EXPECT_FALSE(QJsonDocument::fromJson(plain).object().contains("uncertainty"));
    const CalculationRead old = ParseCalculation(plain);
    ASSERT_TRUE(old);
    EXPECT_EQ(old.calculation->uncertainty, UncertaintySettings {});
    EXPECT_FALSE(old.calculation->uncertainty.enabled);
}

TEST(UncertaintyFile, BadMembersAreRefusedByName)
{
    struct Case
    {
        const char* member;
        QJsonValue value; // undefined: removed
        const char* problem;
    };
    const Case cases[] = {
        { "temperature", -0.2, "the accuracy of the temperature -.2 is below its minimum of 0" },
        { "coverage", 0, "the coverage factor 0 is not above its minimum of 0" },
        { "form_coverage", -1, "the coverage factor of the accuracies -1 is not above its minimum of 0" },
        { "form", "triangular", "the \"form\" member is \"triangular\"; it must be one of" },
        { "enabled", 1, "the \"enabled\" member of \"uncertainty\" is not true or false" },
        { "humidity", "2", "the \"humidity\" member of \"uncertainty\" is not a finite number" },
        { "pressure", QJsonValue(QJsonValue::Undefined), "\"uncertainty\" has no \"pressure\" member" },
        { "sensor", 1, "\"uncertainty\" has an unknown member \"sensor\"" },
    };
    for (const Case& c : cases) {
        Calculation calculation { AmbientInputs {} };
        calculation.uncertainty = Chosen();
        QJsonObject top = QJsonDocument::fromJson(CalculationJson(calculation)).object();
        QJsonObject uncertainty = top["uncertainty"].toObject();
        if (c.value.isUndefined())
            uncertainty.remove(c.member);
        else
            uncertainty[c.member] = c.value;
        top["uncertainty"] = uncertainty;
        const CalculationRead read = ParseCalculation(QJsonDocument(top).toJson());
        EXPECT_FALSE(read) << c.member;
        EXPECT_TRUE(read.problem.contains(c.problem)) << read.problem.toStdString();
    }
    // Never written where it would be refused on opening.
    Calculation bad { AmbientInputs {} };
    bad.uncertainty.coverage = -2;
    EXPECT_EQ(CalculationProblem(bad), "the coverage factor -2 is not above its minimum of 0");
}

} // namespace
} // namespace humidora
