package org.kestro.maven;

/** What the launcher's version information takes from the project. */
final class VersionInfo {
    /** The longest text Windows' version information holds. */
    static final int MAX_TEXT = 2048;

    private VersionInfo() {
    }

    /**
     * The file version for a project version: its leading numbers ("1.2.3" of
     * "1.2.3-SNAPSHOT"), at least three and at most four of them, or null when the version
     * begins with no number or a number does not fit the 16 bits Windows gives each part.
     */
    static String fileVersion(String projectVersion) {
        int end = 0;
        while (end < projectVersion.length()) {
            int digits = end;
            while (digits < projectVersion.length() && Character.isDigit(projectVersion.charAt(digits))
                    && projectVersion.charAt(digits) < 128) {
                digits++;
            }
            if (digits == end) break;
            end = digits;
            if (end + 1 < projectVersion.length() && projectVersion.charAt(end) == '.'
                    && Character.isDigit(projectVersion.charAt(end + 1))) {
                end++;
            } else {
                break;
            }
        }
        if (end == 0) return null;
        String[] parts = projectVersion.substring(0, end).split("\\.");
        StringBuilder version = new StringBuilder();
        for (int i = 0; i < Math.max(3, Math.min(4, parts.length)); i++) {
            String part = i < parts.length ? parts[i].replaceFirst("^0+(?=.)", "") : "0";
            if (part.length() > 5 || Integer.parseInt(part) > 65535) return null;
            version.append(i == 0 ? "" : ".").append(part);
        }
        return version.toString();
    }

    /**
     * A project's description as one line: runs of white space (a POM's line breaks and
     * indentation) become one space, and a text beyond what Windows holds is cut.
     */
    static String description(String text) {
        String line = text.trim().replaceAll("\\s+", " ");
        if (line.length() <= MAX_TEXT) return line;
        int cut = Character.isHighSurrogate(line.charAt(MAX_TEXT - 1)) ? MAX_TEXT - 1 : MAX_TEXT;
        return line.substring(0, cut);
    }
}
