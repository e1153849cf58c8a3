package org.kestro.maven;

import java.io.File;
import java.nio.file.Path;
import java.util.List;

import org.apache.maven.plugins.annotations.LifecyclePhase;
import org.apache.maven.plugins.annotations.Mojo;
import org.apache.maven.plugins.annotations.Parameter;
import org.apache.maven.plugins.annotations.ResolutionScope;

/**
 * Builds the project's Windows Installer package: the launcher of the launcher goal, with
 * what the configuration file's [package] table names (and [signing], when it is there),
 * put in target/finalName.msi by kestro package, and attached to the project as an msi.
 * The configuration file must have a [package] table; on Windows the tool writes the WiX
 * source instead.
 */
@Mojo(name = "package", defaultPhase = LifecyclePhase.PACKAGE, requiresDependencyResolution = ResolutionScope.RUNTIME,
      threadSafe = true)
public class PackageMojo extends LauncherMojo {
    /** The package to write. */
    @Parameter(property = "kestro.package", defaultValue = "${project.build.directory}/${project.build.finalName}.msi")
    private File packageFile;

    @Override
    File target() {
        return packageFile;
    }

    @Override
    String artifactType() {
        return "msi";
    }

    @Override
    boolean attaches() {
        return true;
    }

    /**
     * Dependencies copied beside the launcher (dependencies = beside) are installed beside it
     * too, in lib/, after the files the configuration names. Without a [package] table in
     * the configuration file the tool stops and says what the table needs.
     */
    @Override
    boolean installsBeside() {
        return true;
    }

    @Override
    List<String> command(Path tool, Path config, Path defaults, Path target) {
        List<String> command = super.command(tool, config, defaults, target);
        command.set(1, "package");
        return command;
    }
}
