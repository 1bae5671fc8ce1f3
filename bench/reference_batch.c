/* The yardstick for skybrant-cli --batch: a plain C program doing the same
 * work for the lines bench/batch_throughput.sh generates, written the way
 * one would write it without trying to be either slow or clever: fgets,
 * strtol, the same spherical arithmetic, printf.
 *
 * Input, one pair a line: sixteen fields (LAD LAM LAS N|S LOD LOM LOS E|W,
 * twice) or two 6-character Maidenhead locators. Blank lines and lines
 * starting with '#' are copied. Output: distance,own_heading,other_heading
 * in kilometres to one decimal ("5539.2", "14781") and whole degrees,
 * headings empty for stations at the same place or at antipodes.
 * Only the generated forms are read: anything else is reported and ends
 * the run with status 1, so that the benchmark cannot compare against a
 * reference that quietly skipped work. */
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* The calculator's pi, which the program uses for every conversion. */
static const double kPi = 3.141592654;

struct station {
    double lat; /* decimal degrees, north positive */
    double lon; /* east positive */
    long latSec; /* the same in arc-seconds, exactly */
    long lonSec;
};

static int readNumber(char** p, long* value)
{
    char* end;
    *value = strtol(*p, &end, 10);
    if (end == *p) {
        return 0;
    }
    *p = end;
    return 1;
}

static int readLetter(char** p, char positive, char negative, int* isNegative)
{
    while (**p == ' ' || **p == '\t') {
        ++*p;
    }
    if (**p != positive && **p != negative) {
        return 0;
    }
    *isNegative = **p == negative;
    ++*p;
    return 1;
}

static double decimalDegrees(long d, long m, long s)
{
    double q = (double)m / 60.0;
    q = q + (double)d;
    q = q + (double)s / 3600.0;
    return q;
}

static int readEntry(char** p, struct station* st)
{
    long d1, m1, s1, d2, m2, s2;
    int south, west;
    if (!readNumber(p, &d1) || !readNumber(p, &m1) || !readNumber(p, &s1) || !readLetter(p, 'N', 'S', &south) ||
        !readNumber(p, &d2) || !readNumber(p, &m2) || !readNumber(p, &s2) || !readLetter(p, 'E', 'W', &west)) {
        return 0;
    }
    st->lat = decimalDegrees(d1, m1, s1);
    st->lon = decimalDegrees(d2, m2, s2);
    st->latSec = d1 * 3600 + m1 * 60 + s1;
    st->lonSec = d2 * 3600 + m2 * 60 + s2;
    if (south) {
        st->lat = -st->lat;
        st->latSec = -st->latSec;
    }
    if (west) {
        st->lon = -st->lon;
        st->lonSec = -st->lonSec;
    }
    return 1;
}

/* The centre of a 6-character locator square (1/12 by 1/24 degree). */
static int readLocator(char** p, struct station* st)
{
    const char* s;
    long lonSec, latSec;
    while (**p == ' ' || **p == '\t') {
        ++*p;
    }
    s = *p;
    if (s[0] < 'A' || s[0] > 'R' || s[1] < 'A' || s[1] > 'R' || s[2] < '0' || s[2] > '9' || s[3] < '0' || s[3] > '9' ||
        s[4] < 'a' || s[4] > 'x' || s[5] < 'a' || s[5] > 'x') {
        return 0;
    }
    lonSec = (s[0] - 'A') * 72000L + (s[2] - '0') * 7200L + (s[4] - 'a') * 300L + 150 - 180L * 3600;
    latSec = (s[1] - 'A') * 36000L + (s[3] - '0') * 3600L + (s[5] - 'a') * 150L + 75 - 90L * 3600;
    st->latSec = latSec;
    st->lonSec = lonSec;
    st->lat = (double)latSec / 3600.0;
    st->lon = (double)lonSec / 3600.0;
    *p += 6;
    return 1;
}

static long wrapTurn(long arc)
{
    const long turn = 360L * 3600;
    arc %= turn;
    return arc < 0 ? arc + turn : arc;
}

/* Headings only between distinct, non-opposite points: the central angle
 * in degrees for stations at the same place (0) or at antipodes (180),
 * else -1. */
static int degenerateAngle(const struct station* a, const struct station* b)
{
    const long pole = 90L * 3600;
    const int atPole = a->latSec == pole || a->latSec == -pole;
    if (a->latSec == b->latSec && (atPole || wrapTurn(a->lonSec - b->lonSec) == 0)) {
        return 0;
    }
    if (a->latSec == -b->latSec && (atPole || wrapTurn(a->lonSec - b->lonSec) == 180L * 3600)) {
        return 180;
    }
    return -1;
}

static double heading(double x, double y)
{
    double a = 90;
    if (fabs(x) < 1) {
        a = fabs((atan(x / sqrt(1 - x * x)) * 180) / kPi);
    }
    if (x > 0 && y > 0) {
        return a;
    }
    if (x > 0 && y < 0) {
        return 180 - a;
    }
    if (x < 0 && y < 0) {
        return a + 180;
    }
    if (x < 0 && y > 0) {
        return 360 - a;
    }
    if (x == 0) {
        return y < 0 ? 180 : 0;
    }
    return x > 0 ? 90 : 270;
}

static void printDistance(double angle)
{
    const double km = ((((angle * 60) * 6080) / 5280) * 8) / 5;
    const long long tenths = (long long)floor(km * 10 + 0.5);
    if (tenths % 10 == 0) {
        printf("%lld", tenths / 10);
    } else {
        printf("%lld.%lld", tenths / 10, tenths % 10);
    }
}

static void solve(const struct station* own, const struct station* other)
{
    const double latA = (own->lat * kPi) / 180, lonA = (own->lon * kPi) / 180;
    const double latB = (other->lat * kPi) / 180, lonB = (other->lon * kPi) / 180;
    const int degenerate = degenerateAngle(own, other);
    double c, s, angle, x, y;
    if (degenerate >= 0) {
        printDistance(degenerate);
        printf(",,\n");
        return;
    }
    c = sin(latB) * sin(latA) + (cos(latA) * cos(latB)) * cos(lonB - lonA);
    s = sqrt(1 - c * c);
    if (!(s > 0)) {
        printDistance(c > 0 ? 0 : 180);
        printf(",,\n");
        return;
    }
    if (c < 0) {
        angle = 180 - (atan(s / fabs(c)) * 180) / kPi;
    } else if (c > 0) {
        angle = (atan(s / c) * 180) / kPi;
    } else {
        angle = 90;
    }
    printDistance(angle);
    x = (sin(lonB - lonA) * cos(latB)) / s;
    y = (sin(latB) - sin(latA) * c) / (s * cos(latA));
    printf(",%d", (int)floor(heading(x, y) + 0.5));
    x = (sin(lonA - lonB) * cos(latA)) / s;
    y = (sin(latA) - sin(latB) * c) / (s * cos(latB));
    printf(",%d\n", (int)floor(heading(x, y) + 0.5));
}

int main(void)
{
    char line[512];
    unsigned long lineNumber = 0;
    while (fgets(line, sizeof line, stdin) != NULL) {
        char* p = line;
        struct station own, other;
        int ok;
        ++lineNumber;
        if (line[0] == '\n' || line[0] == '#') {
            fputs(line, stdout);
            continue;
        }
        while (*p == ' ' || *p == '\t') {
            ++p;
        }
        if (*p >= 'A' && *p <= 'R') {
            ok = readLocator(&p, &own) && readLocator(&p, &other);
        } else {
            ok = readEntry(&p, &own) && readEntry(&p, &other);
        }
        if (!ok) {
            fprintf(stderr, "reference_batch: line %lu is not a generated pair\n", lineNumber);
            return 1;
        }
        solve(&own, &other);
    }
    return ferror(stdin) || fflush(stdout) != 0 ? 1 : 0;
}
