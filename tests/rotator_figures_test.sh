#!/bin/sh
# The rotator's limits (-360..720) and its arrival (within 2 degrees) are
# written once, in rotator/; every other source formats those constants.
# Usage: rotator_figures_test.sh SOURCE_DIR
cd "$1" || exit 2
found=$(grep -rnE --include='*.cpp' --include='*.h' \
    -e '-360([^0-9.]|$)' -e '(^|[^0-9.])720([^0-9]|$)' \
    -e 'within 2( |\\u00b0|°)' -e 'arrived.*<= *2([^0-9.]|$)' \
    aim app cli core map settings ui validation)
if [ -n "$found" ]; then
    echo "the rotator's figures written outside rotator/:"
    echo "$found"
    exit 1
fi
echo "the rotator's figures are written in rotator/ alone"
