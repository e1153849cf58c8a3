package org.kestro.maven;

import java.io.IOException;
import java.io.InputStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.security.MessageDigest;
import java.security.NoSuchAlgorithmException;
import java.util.List;
import java.util.stream.Collectors;
import java.util.stream.Stream;

/**
 * What a launcher was built from, kept beside the build's other files so that a build with
 * nothing changed leaves the launcher alone: the configuration text, the contents of every
 * file it names and of the tool's files, and the launcher's size and time as written.
 */
final class Fingerprint {
    private final MessageDigest digest;

    Fingerprint() {
        try {
            digest = MessageDigest.getInstance("SHA-256");
        } catch (NoSuchAlgorithmException e) {
            throw new IllegalStateException(e);
        }
    }

    Fingerprint text(String text) {
        byte[] bytes = text.getBytes(StandardCharsets.UTF_8);
        digest.update(Integer.toString(bytes.length).getBytes(StandardCharsets.US_ASCII));
        digest.update((byte) ':');
        digest.update(bytes);
        return this;
    }

    /** A file's path and content; a missing file counts as such (the tool will report it). */
    Fingerprint file(Path file) throws IOException {
        text(file.toString());
        if (!Files.isRegularFile(file)) return text("missing");
        byte[] buffer = new byte[65536];
        try (InputStream in = Files.newInputStream(file)) {
            for (int n; (n = in.read(buffer)) > 0; ) digest.update(buffer, 0, n);
        }
        return text("end");
    }

    Fingerprint files(List<Path> files) throws IOException {
        for (Path file : files) file(file);
        return this;
    }

    /**
     * The names, sizes and times of the files below a directory (a few levels deep),
     * except those below `skip`. Returns false, adding nothing, when there are more
     * than `max`.
     */
    boolean tree(Path directory, int max, Path skip) throws IOException {
        List<Path> files;
        try (Stream<Path> walk = Files.walk(directory, 4)) {
            files = walk.filter(Files::isRegularFile).filter(f -> skip == null || !f.startsWith(skip))
                    .limit(max + 1L).sorted().collect(Collectors.toList());
        }
        if (files.size() > max) return false;
        for (Path file : files) {
            text(file.toString()).text(Files.size(file) + " " + Files.getLastModifiedTime(file).toMillis());
        }
        return true;
    }

    /** The digest of everything given so far. */
    String hex() {
        StringBuilder hex = new StringBuilder();
        for (byte b : digest.digest()) hex.append(String.format("%02x", b));
        return hex.toString();
    }

    /** What the state file records for an output built from inputs of that digest. */
    static String state(String inputs, Path output) throws IOException {
        return inputs + "\n" + Files.size(output) + " " + Files.getLastModifiedTime(output).toMillis() + "\n";
    }

    /** Whether stateFile records the output as built from these inputs and unchanged since. */
    static boolean upToDate(Path stateFile, String inputs, Path output) throws IOException {
        if (!Files.isRegularFile(stateFile) || !Files.isRegularFile(output)) return false;
        String recorded = new String(Files.readAllBytes(stateFile), StandardCharsets.UTF_8);
        return recorded.equals(state(inputs, output));
    }
}
