package org.kestro.maven;

import java.io.File;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.nio.file.StandardCopyOption;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import java.util.Locale;
import java.util.Map;

import org.apache.maven.artifact.Artifact;
import org.apache.maven.execution.MavenSession;
import org.apache.maven.plugin.AbstractMojo;
import org.apache.maven.plugin.MojoExecutionException;
import org.apache.maven.plugin.MojoFailureException;
import org.apache.maven.plugins.annotations.Component;
import org.apache.maven.plugins.annotations.LifecyclePhase;
import org.apache.maven.plugins.annotations.Mojo;
import org.apache.maven.plugins.annotations.Parameter;
import org.apache.maven.plugins.annotations.ResolutionScope;
import org.apache.maven.project.MavenProject;
import org.apache.maven.project.MavenProjectHelper;

/**
 * Builds the project's Windows launcher: an executable that starts the project's main class
 * with the project's jar and its runtime dependencies on the class path.
 */
@Mojo(name = "launcher", defaultPhase = LifecyclePhase.PACKAGE, requiresDependencyResolution = ResolutionScope.RUNTIME,
      threadSafe = true)
public class LauncherMojo extends AbstractMojo {
    /** The application's main class, dotted (com.example.Main). */
    @Parameter(property = "kestro.mainClass")
    private String mainClass;

    /** A Kestro configuration (TOML) for everything else; its settings win over the plugin's. */
    @Parameter(property = "kestro.configFile")
    private File configFile;

    /** The launcher to write. */
    @Parameter(property = "kestro.output", defaultValue = "${project.build.directory}/${project.build.finalName}.exe")
    File output;

    /** include: inside the launcher; beside: copied to lib/ beside it and put on its class path. */
    @Parameter(property = "kestro.dependencies", defaultValue = "include")
    private String dependencies;

    /** Attach the launcher to the project as an artifact of type exe (installed and deployed with it). */
    @Parameter(property = "kestro.attach", defaultValue = "false")
    private boolean attach;

    @Parameter(property = "kestro.skip", defaultValue = "false")
    private boolean skip;

    /** An unpacked Kestro release to use instead of the tool inside the plugin. */
    @Parameter(property = "kestro.home")
    private File kestroHome;

    @Parameter(defaultValue = "${project}", readonly = true, required = true)
    private MavenProject project;

    @Parameter(defaultValue = "${session}", readonly = true, required = true)
    private MavenSession session;

    @Component
    private MavenProjectHelper projectHelper;

    @Override
    public void execute() throws MojoExecutionException, MojoFailureException {
        if (skip) {
            getLog().info("kestro: skipped");
            return;
        }
        try {
            build();
        } catch (IOException e) {
            throw new MojoExecutionException("kestro: " + e.getMessage(), e);
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
            throw new MojoExecutionException("kestro: interrupted", e);
        }
        if (attaches()) projectHelper.attachArtifact(project, artifactType(), target());
    }

    /** What the goal writes: the file that is built and its artifact type. */
    File target() {
        return output;
    }

    String artifactType() {
        return "exe";
    }

    /** The tool's command: the target from the configuration, with the defaults file when there is one. */
    List<String> command(Path tool, Path config, Path defaults, Path target) {
        List<String> command = new ArrayList<>(Arrays.asList(tool.toString(), "build", config.toString()));
        if (defaults != null) command.addAll(Arrays.asList("--defaults", defaults.toString()));
        command.addAll(Arrays.asList("-o", target.toString()));
        return command;
    }

    /** Whether the goal's package installs the dependencies kept beside the launcher. */
    boolean installsBeside() {
        return false;
    }

    /** Whether the goal attaches what it wrote. */
    boolean attaches() {
        return attach;
    }

    private void build() throws IOException, InterruptedException, MojoFailureException {
        LauncherConfig.Input input = input();
        LauncherConfig.Result config;
        try {
            config = LauncherConfig.build(input);
        } catch (LauncherConfig.ConfigException e) {
            throw new MojoFailureException("kestro: " + e.getMessage());
        }
        for (String warning : config.warnings) getLog().warn("kestro: " + warning);

        Path launcher = target().toPath().toAbsolutePath();
        Path work = Files.createDirectories(Paths.get(project.getBuild().getDirectory(), "kestro"));
        String stem = launcher.getFileName().toString().replaceFirst("(?i)\\.exe$", "");  // x.msi stays x.msi
        // With a configuration file, the plugin's settings are its defaults; without one,
        // they are the whole configuration.
        Path user = input.configFile;
        Path written = work.resolve(stem + (user != null ? "-defaults.toml" : ".toml"));
        writeIfChanged(written, "# Written by the Kestro Maven plugin: the project's settings"
                + (user != null ? ", which " + user + " overrides" : "") + ".\n" + config.toml);

        Files.createDirectories(launcher.getParent());
        copyBeside(config.beside, launcher.getParent().resolve(LauncherConfig.LIB));

        Path tool = tool();
        Fingerprint inputs = new Fingerprint().text(new String(Files.readAllBytes(written), StandardCharsets.UTF_8))
                .text(launcher.toString()).file(tool);
        for (String name : Arrays.asList("launcher.exe", "kestro-runtime.jar", "vlmruntime.jar")) {
            inputs.file(tool.resolveSibling(name));
        }
        inputs.files(config.files);
        // The files the user's configuration names are not known without reading it; those
        // beside it are what it names as a rule (paths are taken from its directory).
        boolean watchable = user == null || inputs.tree(user.getParent(), MAX_WATCHED_FILES,
                Paths.get(project.getBuild().getDirectory()).toAbsolutePath());
        String digest = inputs.hex();
        Path state = work.resolve(stem + ".state");
        if (watchable && Fingerprint.upToDate(state, digest, launcher)) {
            getLog().info("kestro: " + launcher + " is up to date");
            return;
        }

        getLog().info("kestro: building " + launcher + " from " + (user != null ? user + " and " : "") + written);
        Files.deleteIfExists(state);
        List<String> command = user != null ? command(tool, user, written, launcher) : command(tool, written, null, launcher);
        ToolRun run = ToolRun.run(command, work);
        ToolRun.Messages messages = ToolRun.messages(run.err);
        for (String warning : messages.warnings) getLog().warn(warning);
        if (run.exitCode != 0) {
            List<String> report = new ArrayList<>(messages.others.isEmpty() ? Arrays.asList(run.out.trim()) : messages.others);
            if (input.mainClass == null && String.join("\n", report).contains("main class is missing")) {
                report.add("(or set <mainClass> in the plugin's configuration)");
            }
            throw new MojoFailureException("kestro " + command.get(1) + " failed (exit code " + run.exitCode + "):\n"
                    + String.join("\n", report));
        }
        for (String line : messages.others) getLog().info(line);
        if (!run.out.trim().isEmpty()) getLog().info("kestro: " + run.out.trim());
        if (watchable) Files.write(state, Fingerprint.state(digest, launcher).getBytes(StandardCharsets.UTF_8));
    }

    /** Beyond this many files beside the configuration file, every build runs the tool. */
    private static final int MAX_WATCHED_FILES = 1000;

    private LauncherConfig.Input input() throws IOException, MojoFailureException {
        LauncherConfig.Input input = new LauncherConfig.Input();
        input.mainClass = mainClass != null && !mainClass.trim().isEmpty() ? mainClass.trim() : null;
        input.mode = mode();
        input.version = project.getVersion();
        input.name = project.getName() != null ? project.getName() : project.getArtifactId();
        input.description = project.getDescription();
        input.packageFiles = installsBeside();
        if (installsBeside() && configFile == null) {
            throw new MojoFailureException("kestro: the package goal needs a configFile with a [package] table"
                    + " (product name, manufacturer, upgrade_code; see docs/packaging.md)");
        }
        if (configFile != null) {
            Path file = configFile.toPath();
            if (!Files.isRegularFile(file)) {
                throw new MojoFailureException("kestro: the configFile " + file + " does not exist");
            }
            input.configFile = file.toAbsolutePath().normalize();
        }

        File jar = project.getArtifact().getFile();
        if (jar != null && jar.isFile()) {
            input.projectJar = jar.toPath().toAbsolutePath();
        } else if (!"pom".equals(project.getPackaging())) {
            throw new MojoFailureException("kestro: the project's jar is not built yet; run the launcher goal in the"
                    + " package phase or later (mvn package)");
        }
        for (Artifact artifact : project.getArtifacts()) {
            String scope = artifact.getScope();
            if (!Artifact.SCOPE_COMPILE.equals(scope) && !Artifact.SCOPE_RUNTIME.equals(scope)) continue;
            if (!artifact.getArtifactHandler().isAddedToClasspath()) continue;
            File file = artifact.getFile();
            if (file == null || !file.isFile()) {
                throw new MojoFailureException("kestro: the dependency " + artifact + " is " + file
                        + ", not a jar; build it with mvn package first");
            }
            input.dependencies.add(new LauncherConfig.Jar(file.toPath().toAbsolutePath(), artifact.getGroupId()));
        }
        return input;
    }

    private LauncherConfig.Dependencies mode() throws MojoFailureException {
        switch (dependencies.trim().toLowerCase(Locale.ROOT)) {
            case "include": return LauncherConfig.Dependencies.INCLUDE;
            case "beside": return LauncherConfig.Dependencies.BESIDE;
            default:
                throw new MojoFailureException("kestro: <dependencies> is \"" + dependencies
                        + "\"; it must be include or beside");
        }
    }

    // The tool to run: from kestroHome, or the one inside the plugin for this machine,
    // unpacked into the local repository beside the plugin.
    private Path tool() throws IOException, MojoFailureException {
        if (kestroHome != null) {
            Path tool = ToolBundle.homeTool(kestroHome.toPath(), System.getProperty("os.name"));
            if (!Files.isRegularFile(tool)) {
                throw new MojoFailureException("kestro: <kestroHome> " + kestroHome + " holds no " + tool.getFileName()
                        + "; name the directory of an unpacked Kestro release");
            }
            return tool;
        }
        String platform;
        try {
            platform = Platform.of(System.getProperty("os.name"), System.getProperty("os.arch"));
        } catch (IllegalStateException e) {
            throw new MojoFailureException("kestro: " + e.getMessage());
        }
        Path repository = session.getRepositorySession().getLocalRepository().getBasedir().toPath();
        return ToolBundle.unpack(repository.resolve("org/kestro/kestro-maven-plugin"), platform);
    }

    // Copies each dependency into lib/ beside the launcher unless the same file is there.
    private void copyBeside(Map<String, Path> jars, Path lib) throws IOException {
        if (jars.isEmpty()) return;
        Files.createDirectories(lib);
        List<String> copied = new ArrayList<>();
        for (Map.Entry<String, Path> jar : jars.entrySet()) {
            Path target = lib.resolve(jar.getKey());
            if (Files.isRegularFile(target) && Files.size(target) == Files.size(jar.getValue())
                    && Files.getLastModifiedTime(target).equals(Files.getLastModifiedTime(jar.getValue()))) {
                continue;
            }
            Files.copy(jar.getValue(), target, StandardCopyOption.REPLACE_EXISTING, StandardCopyOption.COPY_ATTRIBUTES);
            copied.add(jar.getKey());
        }
        if (!copied.isEmpty()) getLog().info("kestro: copied " + String.join(", ", copied) + " to " + lib);
    }

    private static void writeIfChanged(Path file, String text) throws IOException {
        byte[] bytes = text.getBytes(StandardCharsets.UTF_8);
        if (Files.isRegularFile(file) && Arrays.equals(Files.readAllBytes(file), bytes)) return;
        Files.write(file, bytes);
    }
}
